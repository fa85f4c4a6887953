#include "cellformat.h"

#include "worksheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace karumenio::points {

namespace {

// A format made of "0" digits, an optional point with further "0"s, and "_x" blanks.
struct FixedFormat {
    int decimals = 0;
    int trailingBlanks = 0;
};

std::optional<FixedFormat> readFixedFormat(std::string_view format) {
    FixedFormat fixed;
    std::size_t i = 0;
    std::size_t integerZeros = 0;
    while (i < format.size() && format[i] == '0') {
        ++i;
        ++integerZeros;
    }
    if (integerZeros == 0) {
        return std::nullopt;
    }
    if (i < format.size() && format[i] == '.') {
        ++i;
        while (i < format.size() && format[i] == '0') {
            ++i;
            ++fixed.decimals;
        }
    }
    // Beyond this a double has no digits left to show.
    if (fixed.decimals > 30) {
        return std::nullopt;
    }
    while (i + 1 < format.size() && format[i] == '_') {
        i += 2;
        ++fixed.trailingBlanks;
    }
    if (i != format.size()) {
        return std::nullopt;
    }
    return fixed;
}

std::string formatFixed(double value, const FixedFormat& fixed) {
    const double scale = std::pow(10.0, fixed.decimals);
    // Halves round away from zero, and a value that rounds to 0 shows no minus sign.
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0.0) {
        rounded = 0.0;
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", fixed.decimals, rounded);
    return std::string(buffer) + std::string(static_cast<std::size_t>(fixed.trailingBlanks), ' ');
}

std::string stripZeros(std::string digits) {
    if (digits.find('.') != std::string::npos) {
        while (digits.back() == '0') {
            digits.pop_back();
        }
        if (digits.back() == '.') {
            digits.pop_back();
        }
    }
    return digits;
}

std::string formatGeneral(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        return "0";
    }
    const double magnitude = std::fabs(value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9e", magnitude);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    std::string out = value < 0 ? "-" : "";
    if (exponent >= 11 || exponent < -9) {
        std::snprintf(buffer, sizeof buffer, "%.5e", magnitude);
        std::string text(buffer);
        const auto e = text.find('e');
        const int shownExponent = std::atoi(text.c_str() + e + 1);
        char tail[16];
        std::snprintf(tail, sizeof tail, "E%c%02d", shownExponent < 0 ? '-' : '+',
                      std::abs(shownExponent));
        return out + stripZeros(text.substr(0, e)) + tail;
    }
    const int decimals = std::max(0, 9 - exponent);
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    return out + stripZeros(buffer);
}

} // namespace

std::string formatValue(const CellValue& value, std::string_view numberFormat) {
    switch (value.kind()) {
    case CellValue::Kind::Empty:
        return {};
    case CellValue::Kind::Text:
        return value.textValue();
    case CellValue::Kind::Boolean:
        return value.booleanValue() ? "TRUE" : "FALSE";
    case CellValue::Kind::Error:
        return value.errorCode();
    case CellValue::Kind::Number:
        break;
    }
    if (auto fixed = readFixedFormat(numberFormat)) {
        return formatFixed(value.numberValue(), *fixed);
    }
    return formatGeneral(value.numberValue());
}

std::string displayText(const Worksheet& sheet, int row, int column) {
    const CellValue& value = sheet.value(row, column);
    if (!sheet.layout().zeroValuesShown && value.isNumber() && value.numberValue() == 0.0) {
        return {};
    }
    return formatValue(value, sheet.layout().numberFormat(row, column));
}

} // namespace karumenio::points

#include "cellformat.h"

#include "worksheet.h"

#include "numeric/conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace karumenio::spreadsheet {

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
    // 309 integer digits, the point and 30 decimals at most.
    char buffer[400];
    const auto end = numeric::toChars(buffer, buffer + sizeof buffer, rounded,
                                      numeric::Notation::Fixed, fixed.decimals)
                         .ptr;
    std::string out(buffer, end);
    out.append(static_cast<std::size_t>(fixed.trailingBlanks), ' ');
    return out;
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

// The mantissa and decimal exponent of a positive value in exponent form with the given
// number of decimals, rounded as printf rounds ("1.23450e+02" gives "1.23450" and 2).
struct Scientific {
    std::string mantissa;
    int exponent = 0;
};

Scientific scientific(double magnitude, int decimals) {
    char buffer[32];
    char* end = numeric::toChars(buffer, buffer + sizeof buffer, magnitude,
                                 numeric::Notation::Scientific, decimals)
                    .ptr;
    char* e = std::find(buffer, end, 'e');
    Scientific result{std::string(buffer, e), 0};
    // from_chars takes no "+" sign.
    const char* digits = e + 1 + (e[1] == '+' ? 1 : 0);
    numeric::fromChars(digits, end, result.exponent);
    return result;
}

std::string formatGeneral(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        return "0";
    }
    const double magnitude = std::fabs(value);
    const int exponent = scientific(magnitude, 9).exponent;
    std::string out = value < 0 ? "-" : "";
    if (exponent >= 11 || exponent < -9) {
        const Scientific shown = scientific(magnitude, 5);
        out += stripZeros(shown.mantissa);
        out += 'E';
        out += shown.exponent < 0 ? '-' : '+';
        const int digits = std::abs(shown.exponent);
        if (digits < 10) {
            out += '0';
        }
        char buffer[8];
        out.append(buffer, numeric::toChars(buffer, buffer + sizeof buffer, digits).ptr);
        return out;
    }
    const int decimals = std::max(0, 9 - exponent);
    char buffer[400];
    char* end = numeric::toChars(buffer, buffer + sizeof buffer, magnitude,
                                 numeric::Notation::Fixed, decimals)
                    .ptr;
    return out + stripZeros(std::string(buffer, end));
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

} // namespace karumenio::spreadsheet

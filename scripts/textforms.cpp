#include "textforms.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace karumenio::scripts {

namespace {

// Significant digits (no trailing zeros) and decimal exponent of |value| rounded to at most
// 15 significant digits. For normal doubles the shortest round-trip form is tried first:
// when it has 15 digits or fewer it is exactly the 15-digit rounding, and it is much cheaper
// to produce. Subnormals carry too little precision for that shortcut.
struct Digits {
    char digits[24];
    int count = 0;
    int exponent = 0;
};

Digits significantDigits(double magnitude) {
    char buffer[40];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    auto collect = [&](const char* end) {
        Digits d;
        const char* p = buffer;
        for (; p != end && *p != 'e'; ++p) {
            if (*p != '.') {
                d.digits[d.count++] = *p;
            }
        }
        // p points at 'e'; the exponent has a sign and at least two digits.
        ++p;
        const bool negative = *p == '-';
        ++p;
        int exponent = 0;
        for (; p != end; ++p) {
            exponent = exponent * 10 + (*p - '0');
        }
        d.exponent = negative ? -exponent : exponent;
        return d;
    };
    Digits d = collect(result.ptr);
    if (d.count > 15 || magnitude < std::numeric_limits<double>::min()) {
        result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                               std::chars_format::scientific, 14);
        d = collect(result.ptr);
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0') {
        --d.count;
    }
    return d;
}

} // namespace

void appendNumber(std::string& out, double value, bool withLeadingZero) {
    if (value == 0.0 || !std::isfinite(value)) {
        out += '0';
        return;
    }
    const Digits d = significantDigits(std::fabs(value));
    if (value < 0) {
        out += '-';
    }
    const std::string_view digits(d.digits, static_cast<std::size_t>(d.count));
    if (d.exponent >= 15 || d.exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += d.exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(d.exponent);
        if (magnitude < 10) {
            out += '0';
        }
        char buffer[8];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
        out.append(buffer, result.ptr);
        return;
    }
    if (d.exponent >= 0) {
        const auto intLength = static_cast<std::size_t>(d.exponent) + 1;
        if (digits.size() <= intLength) {
            out += digits;
            out.append(intLength - digits.size(), '0');
        } else {
            out += digits.substr(0, intLength);
            out += '.';
            out += digits.substr(intLength);
        }
        return;
    }
    if (withLeadingZero) {
        out += '0';
    }
    out += '.';
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out += digits;
}

void appendCoordinateForm(std::string& out, double value) {
    appendNumber(out, value, false);
}

void appendCoordinateForm(std::string& out, const points::CellValue& value) {
    appendNumber(out, value.isNumber() ? value.numberValue() : value.toNumber(), false);
}

void appendPlainForm(std::string& out, const points::CellValue& value) {
    if (value.isNumber()) {
        appendNumber(out, value.numberValue(), true);
    } else {
        out += value.textForm();
    }
}

std::string coordinateForm(const points::CellValue& value) {
    std::string out;
    appendCoordinateForm(out, value);
    return out;
}

std::string plainForm(const points::CellValue& value) {
    std::string out;
    appendPlainForm(out, value);
    return out;
}

} // namespace karumenio::scripts

#include "kakudo.h"

#include "numeric/conversion.h"
#include "spreadsheet/ascii.h"
#include "spreadsheet/decimalscan.h"
#include "spreadsheet/runtimeerror.h"

#include <cmath>
#include <string>

namespace karumenio::plan {

namespace {

[[noreturn]] void throwAngleOverflow() {
    throw spreadsheet::RunTimeError(
        spreadsheet::RunError::Overflow,
        "回転角の値が大きすぎます。角度を ddd.mmss の形で入力して下さい。");
}

double wholeNumber(const std::string& text, std::size_t pos, int base) {
    double value = 0.0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        int digit = -1;
        if (spreadsheet::ascii::isDigit(c)) {
            digit = c - '0';
        } else if (base == 16 && spreadsheet::ascii::isLetter(c) &&
                   spreadsheet::ascii::toLower(c) <= 'f') {
            digit = spreadsheet::ascii::toLower(c) - 'a' + 10;
        }
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * base + digit;
    }
    if (!std::isfinite(value)) {
        throwAngleOverflow();
    }
    return value;
}

// Digits of a non-negative number in fixed notation, shortest form that reads back as the
// same double.
std::string fixedDigits(double magnitude) {
    char buffer[400];
    const auto result =
        numeric::toChars(buffer, buffer + sizeof buffer, magnitude, numeric::Notation::Fixed);
    return std::string(buffer, result.ptr);
}

double parseDecimal(std::string_view digits) {
    double value = 0.0;
    numeric::fromChars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace

double looseNumber(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            s += c;
        }
    }
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') {
            return wholeNumber(s, 2, 16);
        }
        if (s[1] == 'O' || s[1] == 'o') {
            return wholeNumber(s, 2, 8);
        }
        return 0.0;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t mantissaBegin = i;
    const spreadsheet::DecimalScan scan = spreadsheet::scanDecimal(s, i);
    if (scan.digits == 0) {
        return 0.0;
    }
    const std::size_t end = scan.end;

    // from_chars takes neither a leading "+" nor an exponent "+", so hand it a cleaned copy.
    std::string number;
    number.reserve(end - mantissaBegin);
    for (std::size_t k = mantissaBegin; k < end; ++k) {
        if (s[k] != '+') {
            number += s[k];
        }
    }
    double value = 0.0;
    const auto result = numeric::fromChars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: a tiny magnitude reads as 0, a huge one is an overflow.
        const auto exponentPos = number.find_first_of("Ee");
        const auto mantissaEnd = exponentPos == std::string::npos ? number.size() : exponentPos;
        const auto firstNonZero = number.find_first_of("123456789");
        if (firstNonZero >= mantissaEnd) {
            return 0.0;
        }
        const auto point = number.find('.');
        const auto pointPos = point == std::string::npos ? mantissaEnd : point;
        long long exponent = 0;
        if (exponentPos != std::string::npos) {
            // Clamp absurd exponent lengths; only the sign and rough size matter here.
            const std::string_view e(number.data() + exponentPos + 1,
                                     number.size() - exponentPos - 1);
            const bool expNegative = !e.empty() && e[0] == '-';
            const std::string_view expDigits = expNegative ? e.substr(1) : e;
            exponent = expDigits.size() > 6 ? 1000000 : std::stoll(std::string(expDigits));
            exponent = expNegative ? -exponent : exponent;
        }
        const long long lead = firstNonZero < pointPos
                                   ? static_cast<long long>(pointPos - firstNonZero) - 1
                                   : -static_cast<long long>(firstNonZero - pointPos);
        if (lead + exponent > 0) {
            throwAngleOverflow();
        }
        value = 0.0;
    }
    return negative ? -value : value;
}

double packedAngleDegrees(double packed) {
    if (!std::isfinite(packed)) {
        throwAngleOverflow();
    }
    const std::string digits = fixedDigits(std::fabs(packed));
    const auto point = digits.find('.');
    const std::string_view whole = std::string_view(digits).substr(0, point);
    std::string decimals = point == std::string::npos ? std::string() : digits.substr(point + 1);
    if (decimals.size() < 4) {
        decimals.append(4 - decimals.size(), '0');
    }

    double degrees = parseDecimal(whole);
    double minutes = (decimals[0] - '0') * 10 + (decimals[1] - '0');
    // Whole seconds from the third and fourth decimals, fractions from any that follow.
    std::string secondsText = decimals.substr(2, 2);
    if (decimals.size() > 4) {
        secondsText += '.';
        secondsText += decimals.substr(4);
    }
    double seconds = parseDecimal(secondsText);
    if (packed < 0) {
        degrees = -degrees;
        minutes = -minutes;
        seconds = -seconds;
    }
    return degrees + (minutes + seconds / 60) / 60;
}

} // namespace karumenio::plan

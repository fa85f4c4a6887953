#include "fallbackconversion.h"

// Both are used header-only, so that nothing has to be built for the target first.
#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace karumenio::numeric::fallback {

namespace {

// Longer than any shortest form: a sign, "0.", 323 zeros and 17 digits.
constexpr int kLongestShortest = 360;

std::to_chars_result tooLarge(char* last) {
    return {last, std::errc::value_too_large};
}

std::to_chars_result put(char* first, char* last, std::string_view text) {
    if (static_cast<std::size_t>(last - first) < text.size()) {
        return tooLarge(last);
    }
    return {std::copy(text.begin(), text.end(), first), std::errc()};
}

// "inf" and "nan" in every notation and precision, signed as the standard library signs them.
std::string_view nonFinite(double value) {
    if (std::isinf(value)) {
        return std::signbit(value) ? "-inf" : "inf";
    }
    return std::signbit(value) ? "-nan" : "nan";
}

// The magnitude as digits × 10^exponent with the fewest digits that read back as it.
struct Shortest {
    char digits[20];
    int count = 0;
    int exponent = 0;
};

Shortest shortest(double magnitude) {
    const auto decimal = fmt::detail::dragonbox::to_decimal(magnitude);
    std::uint64_t significand = decimal.significand;
    Shortest s;
    s.exponent = decimal.exponent;
    while (significand % 10 == 0) {
        significand /= 10;
        ++s.exponent;
    }
    char reversed[20];
    for (; significand != 0; significand /= 10) {
        reversed[s.count++] = static_cast<char>('0' + significand % 10);
    }
    std::reverse_copy(reversed, reversed + s.count, s.digits);
    return s;
}

char* writeScientific(char* p, const Shortest& s) {
    *p++ = s.digits[0];
    if (s.count > 1) {
        *p++ = '.';
        p = std::copy(s.digits + 1, s.digits + s.count, p);
    }
    const int exponent = s.exponent + s.count - 1;
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        *p++ = '0';
    }
    return std::to_chars(p, p + 3, magnitude).ptr;
}

char* writeFixed(char* p, const Shortest& s) {
    const int whole = s.count + s.exponent;
    if (s.exponent >= 0) {
        p = std::copy(s.digits, s.digits + s.count, p);
        return std::fill_n(p, s.exponent, '0');
    }
    if (whole > 0) {
        p = std::copy(s.digits, s.digits + whole, p);
        *p++ = '.';
        return std::copy(s.digits + whole, s.digits + s.count, p);
    }
    *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, -whole, '0');
    return std::copy(s.digits, s.digits + s.count, p);
}

// In the given notation, or without one in the shorter of the two.
std::to_chars_result shortestText(char* first, char* last, double value,
                                  std::optional<Notation> chosen) {
    if (!std::isfinite(value)) {
        return put(first, last, nonFinite(value));
    }
    if (value == 0.0) {
        const bool scientific = chosen == Notation::Scientific;
        const std::string_view zero = scientific ? "-0e+00" : "-0";
        return put(first, last, std::signbit(value) ? zero : zero.substr(1));
    }
    const Shortest s = shortest(std::fabs(value));
    Notation notation = chosen.value_or(Notation::Fixed);
    if (!chosen) {
        // Fixed on a tie. Scientific takes the digits, a point unless there is one digit, and
        // four more ("e+05"); fixed takes the digits and the exponent's zeros, or "0." and
        // zeros before them, or the digits and a point.
        const int lowest = s.count == 1 ? -3 : -(s.count + 3);
        const int highest = s.count == 1 ? 4 : 5;
        if (s.exponent < lowest || s.exponent > highest) {
            notation = Notation::Scientific;
        }
    }
    if (notation == Notation::Fixed && s.exponent > 0) {
        // A whole number with zeros at the end of its shortest digits: fixed notation shows
        // the exact value, whose last digits need not be zeros above 2^53.
        return toChars(first, last, value, Notation::Fixed, 0);
    }
    char buffer[kLongestShortest];
    char* p = buffer;
    if (value < 0) {
        *p++ = '-';
    }
    p = notation == Notation::Scientific ? writeScientific(p, s) : writeFixed(p, s);
    return put(first, last, std::string_view(buffer, static_cast<std::size_t>(p - buffer)));
}

bool startsNumeral(const char* first, const char* last) {
    if (first != last && *first == '-') {
        ++first;
    }
    return first != last && (*first == '.' || (*first >= '0' && *first <= '9'));
}

bool nonZeroDigitBeforeExponent(const char* first, const char* last) {
    for (; first != last && *first != 'e' && *first != 'E'; ++first) {
        if (*first >= '1' && *first <= '9') {
            return true;
        }
    }
    return false;
}

} // namespace

std::to_chars_result toChars(char* first, char* last, double value) {
    return shortestText(first, last, value, std::nullopt);
}

std::to_chars_result toChars(char* first, char* last, double value, Notation notation) {
    return shortestText(first, last, value, notation);
}

std::to_chars_result toChars(char* first, char* last, double value, Notation notation,
                             int precision) {
    if (!std::isfinite(value)) {
        return put(first, last, nonFinite(value));
    }
    // A negative precision means printf's default.
    precision = precision < 0 ? 6 : precision;
    const auto size = static_cast<std::size_t>(last - first);
    const auto written = notation == Notation::Scientific
                             ? fmt::format_to_n(first, size, "{:.{}e}", value, precision)
                             : fmt::format_to_n(first, size, "{:.{}f}", value, precision);
    if (written.size > size) {
        return tooLarge(last);
    }
    return {written.out, std::errc()};
}

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    double parsed = 0.0;
    const auto result = fast_float::from_chars(first, last, parsed);
    if (result.ec != std::errc()) {
        return {result.ptr, result.ec};
    }
    // fast_float reads a number beyond the range as an infinity and one too small as zero;
    // the standard library reports both and leaves the value alone.
    const bool overflow = std::isinf(parsed) && startsNumeral(first, result.ptr);
    const bool underflow = parsed == 0.0 && nonZeroDigitBeforeExponent(first, result.ptr);
    if (overflow || underflow) {
        return {result.ptr, std::errc::result_out_of_range};
    }
    value = parsed;
    return {result.ptr, std::errc()};
}

} // namespace karumenio::numeric::fallback

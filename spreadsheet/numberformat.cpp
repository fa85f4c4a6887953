#include "numberformat.h"

#include "numeric/conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace karumenio::spreadsheet {

namespace {

// Significant digits (no trailing zeros) and decimal exponent of |value| rounded to at most
// 15 significant digits, from the shortest round-trip form, which is cheap to produce. With
// 15 digits or fewer it is the 15-digit rounding itself. With 16 or 17 digits, rounding its
// digits gives the same result as rounding the exact value, except when they end exactly on
// the half: no 15-digit rounding boundary can lie strictly between the value and its shortest
// form, or that boundary would have been the shorter form. That tie, and subnormals with
// their reduced precision, take the exact (slower) route.
struct Digits {
    char digits[24];
    int count = 0;
    int exponent = 0;
};

Digits parseScientific(const char* begin, const char* end) {
    Digits d;
    const char* p = begin;
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
}

// Values with few decimals, as surveyed coordinates have, skip the general conversion. When
// a whole m below 10^15 divided by 10^k gives back the value, the value is the double nearest
// to that decimal of at most 15 digits, nearer than half a step of the 15-digit grid: so the
// decimal is the 15-digit rounding itself.
bool fewDecimals(double magnitude, Digits& d) {
    constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    for (int decimals = 0; decimals < static_cast<int>(std::size(kPowers)); ++decimals) {
        const double power = kPowers[decimals];
        const double scaled = magnitude * power;
        if (!(scaled < 1e15)) {
            return false;
        }
        const double whole = std::nearbyint(scaled);
        if (whole != 0.0 && whole / power == magnitude) {
            const char* end = numeric::toChars(d.digits, d.digits + sizeof d.digits,
                                               static_cast<long long>(whole))
                                  .ptr;
            d.count = static_cast<int>(end - d.digits);
            d.exponent = d.count - 1 - decimals;
            return true;
        }
    }
    return false;
}

Digits significantDigits(double magnitude) {
    Digits d;
    if (fewDecimals(magnitude, d)) {
        while (d.count > 1 && d.digits[d.count - 1] == '0') {
            --d.count;
        }
        return d;
    }
    char buffer[40];
    auto result =
        numeric::toChars(buffer, buffer + sizeof buffer, magnitude, numeric::Notation::Scientific);
    d = parseScientific(buffer, result.ptr);
    const bool subnormal = magnitude < std::numeric_limits<double>::min();
    const bool tie = d.count == 16 && d.digits[15] == '5';
    if (subnormal || tie) {
        result = numeric::toChars(buffer, buffer + sizeof buffer, magnitude,
                                  numeric::Notation::Scientific, 14);
        d = parseScientific(buffer, result.ptr);
    } else if (d.count > 15) {
        const bool roundUp = d.digits[15] >= '5';
        d.count = 15;
        if (roundUp) {
            int i = 14;
            while (i >= 0 && d.digits[i] == '9') {
                d.digits[i] = '0';
                --i;
            }
            if (i >= 0) {
                ++d.digits[i];
            } else {
                d.digits[0] = '1';
                ++d.exponent;
            }
        }
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
    const char* digits = d.digits;
    const int count = d.count;
    // Written into a buffer first, so that a script of thousands of numbers appends each once:
    // a sign, at most 15 digits, a point, up to 4 zeros or an exponent.
    char buffer[40];
    char* p = buffer;
    if (value < 0) {
        *p++ = '-';
    }
    if (d.exponent >= 15 || d.exponent < -4) {
        *p++ = digits[0];
        if (count > 1) {
            *p++ = '.';
            p = std::copy(digits + 1, digits + count, p);
        }
        *p++ = 'E';
        *p++ = d.exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(d.exponent);
        if (magnitude < 10) {
            *p++ = '0';
        }
        p = numeric::toChars(p, buffer + sizeof buffer, magnitude).ptr;
    } else if (d.exponent >= 0) {
        const int intLength = d.exponent + 1;
        if (count <= intLength) {
            p = std::copy(digits, digits + count, p);
            p = std::fill_n(p, intLength - count, '0');
        } else {
            p = std::copy(digits, digits + intLength, p);
            *p++ = '.';
            p = std::copy(digits + intLength, digits + count, p);
        }
    } else {
        if (withLeadingZero) {
            *p++ = '0';
        }
        *p++ = '.';
        p = std::fill_n(p, -d.exponent - 1, '0');
        p = std::copy(digits, digits + count, p);
    }
    out.append(buffer, p);
}

std::string formatNumber(double value, bool withLeadingZero) {
    std::string out;
    appendNumber(out, value, withLeadingZero);
    return out;
}

} // namespace karumenio::spreadsheet

#include "fixeddecimals.h"

#include "numeric/conversion.h"
#include "numeric/doubledouble.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace karumenio::geodesy {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                   1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// value · 10^decimals rounded to a whole number, halves away from zero, from the exact
// product (two doubles); nothing when it reaches 2^52, where the general conversion takes over.
std::optional<double> roundedScaled(double value, int decimals) {
    const auto product = numeric::dd::twoProduct(value, kPowersOfTen[decimals]);
    if (!(std::fabs(product.hi) < 0x1p52)) {
        return std::nullopt;
    }
    double whole = std::nearbyint(product.hi);
    // Exact, and at most a half. Below a half, the low part (at most half a unit of the high
    // one) cannot carry the product past the half.
    const double rest = product.hi - whole;
    if (std::fabs(rest) == 0.5) {
        if (product.lo == 0.0) {
            whole = product.hi + (product.hi > 0.0 ? 0.5 : -0.5);
        } else if ((product.lo > 0.0) == (rest > 0.0)) {
            whole += rest > 0.0 ? 1.0 : -1.0;
        }
    }
    return whole;
}

// Whether the value lies exactly halfway between two numbers of that many decimals. A double
// whose lowest bit is worth 2^-k has exactly k decimals, the last a 5; so it lies on the half
// when that bit is worth 2^-(decimals + 1).
bool onTheHalf(double value, int decimals) {
    const double scaled = std::ldexp(value, decimals + 1);
    return std::floor(scaled) == scaled && std::fmod(scaled, 2.0) != 0.0;
}

// Adds one to the last digit of a decimal written as text, carrying as far as needed.
void incrementLastDigit(std::string& text, std::size_t firstDigit) {
    for (std::size_t i = text.size(); i-- > firstDigit;) {
        if (text[i] == '.') {
            continue;
        }
        if (text[i] != '9') {
            ++text[i];
            return;
        }
        text[i] = '0';
    }
    text.insert(firstDigit, 1, '1');
}

// Magnitudes of 2^52 / 10^decimals and more, by the library's conversion, which takes exact
// halves to even: those are written with one decimal more, which is exact, and rounded here.
void appendLarge(std::string& out, double value, int decimals) {
    const bool half = onTheHalf(value, decimals);
    // Room for 309 integer digits, a sign, the point and the decimals.
    char buffer[340];
    const auto result = numeric::toChars(buffer, buffer + sizeof buffer, value,
                                         numeric::Notation::Fixed, decimals + (half ? 1 : 0));
    std::string text(buffer, result.ptr);
    if (half) {
        text.pop_back();
        if (decimals == 0) {
            text.pop_back();
        }
        incrementLastDigit(text, value < 0.0 ? 1 : 0);
    }
    out += text;
}

} // namespace

void appendFixed(std::string& out, double value, int decimals) {
    const auto scaled = roundedScaled(value, decimals);
    if (!scaled) {
        appendLarge(out, value, decimals);
        return;
    }
    // The digits of the whole number, with zeros in front up to one before the point, and the
    // point put in. "-0.000" would say no more than "0.000" and read as a slip: zero has no sign.
    char digits[40];
    const int width = decimals + 1;
    std::fill_n(digits, width, '0');
    char number[24];
    const auto magnitude = static_cast<long long>(std::fabs(*scaled));
    char* end = numeric::toChars(number, number + sizeof number, magnitude).ptr;
    const auto count = static_cast<int>(end - number);
    const int total = std::max(count, width);
    std::copy(number, end, digits + total - count);
    if (*scaled < 0.0) {
        out += '-';
    }
    const int before = total - decimals;
    out.append(digits, static_cast<std::size_t>(before));
    if (decimals > 0) {
        out += '.';
        out.append(digits + before, static_cast<std::size_t>(decimals));
    }
}

std::string fixed(double value, int decimals) {
    std::string out;
    appendFixed(out, value, decimals);
    return out;
}

std::string coordinateText(PlanePoint p) {
    const auto text = [](double v) { return std::isfinite(v) ? fixed(v, 3) : std::string("?"); };
    return "X=" + text(p.x) + "、Y=" + text(p.y);
}

} // namespace karumenio::geodesy

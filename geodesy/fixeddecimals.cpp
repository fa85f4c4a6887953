#include "fixeddecimals.h"

#include "plan/doubledouble.h"

#include <charconv>
#include <cmath>

namespace karumenio::geodesy {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                   1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

// Whether the value lies exactly halfway between two numbers of that many decimals: then
// value · 2 · 10^decimals, computed exactly as two doubles, is an odd whole number.
bool onTheHalf(double value, int decimals) {
    const auto product = plan::dd::twoProduct(value, 2.0 * kPowersOfTen[decimals]);
    return product.lo == 0.0 && std::fabs(product.hi) < 0x1p53 &&
           std::floor(product.hi) == product.hi && std::fmod(product.hi, 2.0) != 0.0;
}

} // namespace

void appendFixed(std::string& out, double value, int decimals) {
    // The conversion takes ties to even; one unit in the last place away from zero makes it
    // take them away from zero and changes nothing else.
    if (onTheHalf(value, decimals)) {
        value = std::nextafter(value, value < 0.0 ? -HUGE_VAL : HUGE_VAL);
    }
    // Room for 309 integer digits, a sign, the point and the decimals.
    char buffer[340];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const char* begin = buffer;
    if (buffer[0] == '-' && result.ptr - buffer > 1) {
        // "-0.000" says no more than "0.000" and reads as a slip.
        bool allZero = true;
        for (const char* p = buffer + 1; p != result.ptr; ++p) {
            allZero = allZero && (*p == '0' || *p == '.');
        }
        if (allZero) {
            begin = buffer + 1;
        }
    }
    out.append(begin, static_cast<std::size_t>(result.ptr - begin));
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

#include "elementary.h"

#include "numeric/conversion.h"
#include "numeric/trig.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace karumenio::geodesy {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// ln 2 in two parts; the first has its low bits zero, so k·kLn2Hi is exact for |k| < 2^11.
constexpr double kLn2Hi = 0x1.62e42feep-1;
constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kLn2 = 0x1.62e42fefa39efp-1;
constexpr double kInverseLn2 = 0x1.71547652b82fep+0;
constexpr double kHalfLn2 = 0x1.62e42fefa39efp-2;
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;
// Beyond these exp overflows, or is below half the smallest subnormal.
constexpr double kExpOverflow = 0x1.62e42fefa39efp+9;
constexpr double kExpUnderflow = -0x1.74910d52d3051p+9;
constexpr double kPiHi = 0x1.921fb54442d18p+1;
constexpr double kPiLo = 0x1.1a62633145c07p-53;
constexpr double kHalfPi = 0x1.921fb54442d18p+0;
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;

// 2^k for a k whose power is a normal double.
double powerOfTwo(int k) {
    return numeric::bitCast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

// x·2^k for any k between −1100 and 1100.
double scaleByPowerOfTwo(double x, int k) {
    if (k > 1023) {
        return x * powerOfTwo(1023) * powerOfTwo(k - 1023);
    }
    if (k < -1022) {
        return x * powerOfTwo(k + 54) * 0x1p-54;
    }
    return x * powerOfTwo(k);
}

// e^r − 1 for |r| up to ln 2 / 2 by its Taylor series to r^13, whose remainder is below
// 2^-57 of the result there.
double expm1Series(double r) {
    constexpr double kCoefficients[] = {
        1.0 / 2,     1.0 / 6,      1.0 / 24,      1.0 / 120,      1.0 / 720,       1.0 / 5040,
        1.0 / 40320, 1.0 / 362880, 1.0 / 3628800, 1.0 / 39916800, 1.0 / 479001600, 1.0 / 6227020800,
    };
    constexpr int kCount = sizeof kCoefficients / sizeof kCoefficients[0];
    double q = kCoefficients[kCount - 1];
    for (int i = kCount - 2; i >= 0; --i) {
        q = kCoefficients[i] + r * q;
    }
    return r + r * r * q;
}

// x = k·ln 2 + r with |r| at most about ln 2 / 2; r is exact but for the rounding of the
// second part of ln 2.
struct Reduced {
    int k = 0;
    double r = 0.0;
};

Reduced reduce(double x) {
    const double k = std::floor(x * kInverseLn2 + 0.5);
    return {static_cast<int>(k), (x - k * kLn2Hi) - k * kLn2Lo};
}

} // namespace

double exp(double x) {
    if (std::isnan(x)) {
        return x;
    }
    if (x > kExpOverflow) {
        return kInfinity;
    }
    if (x < kExpUnderflow) {
        return 0.0;
    }
    const Reduced reduced = reduce(x);
    return scaleByPowerOfTwo(1.0 + expm1Series(reduced.r), reduced.k);
}

double expm1(double x) {
    if (std::isnan(x)) {
        return x;
    }
    const double magnitude = std::fabs(x);
    if (magnitude < 0x1p-54) {
        return x;
    }
    if (magnitude <= kHalfLn2) {
        return expm1Series(x);
    }
    if (x < -40.0) {
        return -1.0;
    }
    if (x > kExpOverflow) {
        return kInfinity;
    }
    const Reduced reduced = reduce(x);
    if (reduced.k > 56) {
        return exp(x) - 1.0;
    }
    // 2^k·(1 + p) − 1 as (2^k − 1) + 2^k·p: the first part is exact, so small k keep the
    // accuracy of p.
    const double power = powerOfTwo(reduced.k);
    return (power - 1.0) + power * expm1Series(reduced.r);
}

namespace {

// log(2^k · (1 + f)) + c for f between √½ − 1 and √2 − 1 and a small correction c:
// log(1 + f) = 2·atanh(s), s = f / (2 + f), written so that the exact f carries most of the
// value and the series only a small correction.
double logKernel(int k, double f, double c) {
    const double s = f / (2.0 + f);
    const double z = s * s;
    double series = 2.0 / 23;
    for (int j = 10; j >= 1; --j) {
        series = 2.0 / (2 * j + 1) + z * series;
    }
    const double r = z * series;
    const double halfSquare = 0.5 * f * f;
    const double kd = k;
    return kd * kLn2Hi + (f - (halfSquare - (s * (halfSquare + r) + (kd * kLn2Lo + c))));
}

// x = 2^k · m with m between √½ and √2, for a positive finite x.
struct Split {
    int k = 0;
    double m = 0.0;
};

Split split(double x) {
    int k = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        k = -54;
    }
    const auto bits = numeric::bitCast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = numeric::bitCast<double>((bits & 0x000fffffffffffffu) | 0x3ff0000000000000u);
    if (m > kSqrt2) {
        m *= 0.5;
        ++k;
    }
    return {k, m};
}

} // namespace

double log(double x) {
    if (std::isnan(x) || x == kInfinity) {
        return x;
    }
    if (x < 0.0) {
        return kNaN;
    }
    if (x == 0.0) {
        return -kInfinity;
    }
    const Split parts = split(x);
    return logKernel(parts.k, parts.m - 1.0, 0.0);
}

double log1p(double x) {
    if (std::isnan(x) || x == kInfinity) {
        return x;
    }
    if (x < -1.0) {
        return kNaN;
    }
    if (x == -1.0) {
        return -kInfinity;
    }
    if (std::fabs(x) < 0x1p-54) {
        return x;
    }
    const double u = 1.0 + x;
    const Split parts = split(u);
    // What the rounding of 1 + x lost, relative to u: log(1 + x) = log(u) + c / u nearly.
    double c = 0.0;
    if (parts.k < 54) {
        c = parts.k > 0 ? 1.0 - (u - x) : x - (u - 1.0);
        c /= u;
    }
    return logKernel(parts.k, parts.m - 1.0, c);
}

double sinh(double x) {
    if (std::isnan(x)) {
        return x;
    }
    const double a = std::fabs(x);
    if (a < 0x1p-28) {
        return x;
    }
    double r = 0.0;
    if (a < 22.0) {
        const double t = expm1(a);
        r = a < 1.0 ? 0.5 * (2.0 * t - t * t / (t + 1.0)) : 0.5 * (t + t / (t + 1.0));
    } else if (a < kExpOverflow) {
        r = 0.5 * exp(a);
    } else {
        const double w = exp(0.5 * a);
        r = (0.5 * w) * w;
    }
    return x < 0.0 ? -r : r;
}

double cosh(double x) {
    if (std::isnan(x)) {
        return x;
    }
    const double a = std::fabs(x);
    if (a < kHalfLn2) {
        const double t = expm1(a);
        const double w = 1.0 + t;
        return 1.0 + (t * t) / (w + w);
    }
    if (a < 22.0) {
        const double t = exp(a);
        return 0.5 * t + 0.5 / t;
    }
    if (a < kExpOverflow) {
        return 0.5 * exp(a);
    }
    const double w = exp(0.5 * a);
    return (0.5 * w) * w;
}

double atanh(double x) {
    if (std::isnan(x)) {
        return x;
    }
    const double a = std::fabs(x);
    if (a > 1.0) {
        return kNaN;
    }
    if (a < 0x1p-28) {
        return x;
    }
    double r = 0.0;
    if (a == 1.0) {
        r = kInfinity;
    } else if (a < 0.5) {
        const double t = a + a;
        r = 0.5 * log1p(t + t * a / (1.0 - a));
    } else {
        r = 0.5 * log1p((a + a) / (1.0 - a));
    }
    return x < 0.0 ? -r : r;
}

double asinh(double x) {
    if (std::isnan(x) || std::isinf(x)) {
        return x;
    }
    const double a = std::fabs(x);
    if (a < 0x1p-28) {
        return x;
    }
    double r = 0.0;
    if (a > 0x1p28) {
        r = log(a) + kLn2;
    } else if (a > 2.0) {
        r = log(2.0 * a + 1.0 / (std::sqrt(a * a + 1.0) + a));
    } else {
        const double t = a * a;
        r = log1p(a + t / (1.0 + std::sqrt(1.0 + t)));
    }
    return x < 0.0 ? -r : r;
}

double asin(double x) {
    if (std::isnan(x)) {
        return x;
    }
    const double a = std::fabs(x);
    if (a > 1.0) {
        return kNaN;
    }
    if (a == 1.0) {
        return x < 0.0 ? -kHalfPi : kHalfPi;
    }
    if (a < 0x1p-26) {
        return x;
    }
    // 1 − a is exact from a = 1/2 on, which keeps the quotient accurate near ±1.
    return numeric::atan(x / std::sqrt((1.0 - a) * (1.0 + a)));
}

double atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) {
        return x + y;
    }
    const bool yNegative = std::signbit(y);
    const auto withSignOfY = [yNegative](double v) { return yNegative ? -v : v; };
    if (std::isinf(x)) {
        if (std::isinf(y)) {
            return withSignOfY(x > 0.0 ? kQuarterPi : 3.0 * kQuarterPi);
        }
        return withSignOfY(x > 0.0 ? 0.0 : kPiHi);
    }
    if (std::isinf(y)) {
        return withSignOfY(kHalfPi);
    }
    if (y == 0.0) {
        return withSignOfY(std::signbit(x) ? kPiHi : 0.0);
    }
    if (x == 0.0) {
        return withSignOfY(kHalfPi);
    }
    const double t = numeric::atan(y / x);
    if (x > 0.0) {
        return t;
    }
    // The angle lies beyond a quarter turn; π is added in two parts to keep its low bits.
    return yNegative ? (t - kPiLo) - kPiHi : (t + kPiLo) + kPiHi;
}

} // namespace karumenio::geodesy

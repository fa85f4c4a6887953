#include "trig.h"

#include "doubledouble.h"
#include "precisetrig.h"
#include "quadrantreduction.h"

#include <array>
#include <cmath>
#include <optional>

namespace karumenio::numeric {

namespace {

// Bound on the relative error of the double-double evaluations below over their whole
// ranges. The terms left to doubles and the truncated series stay under 2^-78; measured
// against MPFR the largest error is 2^-81.
constexpr double kEvaluationError = 0x1p-74;

// Taylor coefficients of sin t = t + t·z·(s1 + s2·z + ...), z = t²; the first four need both
// halves, the later terms are small enough for doubles.
constexpr std::array<DoubleDouble, 4> kSinHead{{
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6cp-73},
}};
constexpr std::array<double, 7> kSinTail{
    -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33, -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49,
    -0x1.2f49b46814157p-57, 0x1.71b8ef6dcf572p-66, -0x1.761b41316381ap-75,
};

// cos t = 1 + z·(-1/2 + c2·z + ...).
constexpr std::array<DoubleDouble, 4> kCosHead{{
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
}};
constexpr std::array<double, 7> kCosTail{
    0x1.1eed8eff8d898p-29, -0x1.93974a8c07c9dp-37, 0x1.ae7f3e733b81fp-45, -0x1.6827863b97d97p-53,
    0x1.e542ba4020225p-62, -0x1.0ce396db7f853p-70, 0x1.f2cf01972f578p-80,
};

// atan u = u + u·w·(-1/3 + w/5 - ...), w = u², for |u| up to 1/32.
constexpr std::array<DoubleDouble, 2> kAtanHead{{
    {-0x1.5555555555555p-2, -0x1.5555555555555p-56},
    {0x1.999999999999ap-3, -0x1.999999999999ap-57},
}};
constexpr std::array<double, 6> kAtanTail{
    -0x1.2492492492492p-3, 0x1.c71c71c71c71cp-4,  -0x1.745d1745d1746p-4,
    0x1.3b13b13b13b14p-4,  -0x1.1111111111111p-4, 0x1.e1e1e1e1e1e1ep-5,
};

// atan(i/16) for i = 0 … 16.
constexpr std::array<DoubleDouble, 17> kAtanOfSixteenths{{
    {0.0, 0.0},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.0657e94db30dp-1, -0x1.d5b495f6349e6p-56},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
}};

constexpr DoubleDouble kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

template <std::size_t N> double tailValue(const std::array<double, N>& c, double z) {
    double p = c[N - 1];
    for (std::size_t i = N - 1; i-- > 0;) {
        p = p * z + c[i];
    }
    return p;
}

template <std::size_t N>
DoubleDouble headValue(const std::array<DoubleDouble, N>& c, DoubleDouble z, DoubleDouble p) {
    for (std::size_t i = N; i-- > 0;) {
        p = dd::add(c[i], dd::mul(z, p));
    }
    return p;
}

DoubleDouble sinKernel(DoubleDouble t) {
    const DoubleDouble z = dd::mul(t, t);
    const DoubleDouble p = headValue(kSinHead, z, {tailValue(kSinTail, z.hi), 0.0});
    return dd::add(t, dd::mul(t, dd::mul(z, p)));
}

DoubleDouble cosKernel(DoubleDouble t) {
    const DoubleDouble z = dd::mul(t, t);
    DoubleDouble p = headValue(kCosHead, z, {tailValue(kCosTail, z.hi), 0.0});
    p = dd::add(dd::mul(z, p), -0.5);
    return dd::add(dd::mul(z, p), 1.0);
}

DoubleDouble atanKernel(DoubleDouble u) {
    const DoubleDouble w = dd::mul(u, u);
    const DoubleDouble p = headValue(kAtanHead, w, {tailValue(kAtanTail, w.hi), 0.0});
    return dd::add(u, dd::mul(u, dd::mul(w, p)));
}

// The double nearest y when everything within relativeError·|y| of it rounds to the same
// double (Ziv's test); nothing when the precise evaluation must decide.
std::optional<double> roundedIfDecided(DoubleDouble y, double relativeError) {
    const DoubleDouble n = dd::twoSum(y.hi, y.lo);
    const double magnitude = std::fabs(n.hi);
    int e = 0;
    const double fraction = std::frexp(magnitude, &e);
    // Half the gap to the nearer neighbour; below a power of two the gap is half as wide.
    const double halfGap = std::ldexp(1.0, fraction == 0.5 ? e - 55 : e - 54);
    if (std::fabs(n.lo) + relativeError * magnitude < halfGap * (1 - 0x1p-50)) {
        return n.hi;
    }
    return std::nullopt;
}

// sin x for quadrant offset 0, cos x for 1.
std::optional<double> fastSine(double x, int extraQuadrant) {
    const ReducedAngle r = reduceAngle(x);
    if (r.t.hi == 0) {
        return std::nullopt;
    }
    const int quadrant = (r.quadrant + extraQuadrant) & 3;
    DoubleDouble y = (quadrant & 1) != 0 ? cosKernel(r.t) : sinKernel(r.t);
    if ((quadrant & 2) != 0) {
        y = dd::negate(y);
    }
    // Within π/4 both functions pass a relative error of the argument on at most as large.
    return roundedIfDecided(y, kEvaluationError + r.absoluteError / std::fabs(r.t.hi));
}

} // namespace

double sin(double x) {
    if (!std::isfinite(x)) {
        return x - x;
    }
    // Below 2^-26, x − sin x < x³/6 is under half the gap below x, even at a power of two.
    if (std::fabs(x) < 0x1p-26) {
        return x;
    }
    if (const auto y = fastSine(x, 0)) {
        return *y;
    }
    return preciseSin(x);
}

double cos(double x) {
    if (!std::isfinite(x)) {
        return x - x;
    }
    // Below 2^-27, 1 − cos x < x²/2 is under half the gap below 1.
    if (std::fabs(x) < 0x1p-27) {
        return 1.0;
    }
    if (const auto y = fastSine(x, 1)) {
        return *y;
    }
    return preciseCos(x);
}

double atan(double x) {
    if (std::isnan(x)) {
        return x + x;
    }
    const double magnitude = std::fabs(x);
    // Below 2^-27, x − atan x < x³/3 is under half the gap below x. From 2^55 on, atan x is
    // within 2^-55 below π/2 and rounds to the same double as π/2.
    if (magnitude < 0x1p-27) {
        return x;
    }
    if (magnitude >= 0x1p55) {
        return std::copysign(kHalfPi.hi, x);
    }
    // atan x = atan(i/16) + atan(u), u = (q − i/16)/(1 + q·i/16), q = |x| or 1/|x|.
    const bool beyondOne = magnitude > 1;
    const DoubleDouble q =
        beyondOne ? dd::div({1.0, 0.0}, {magnitude, 0.0}) : DoubleDouble{magnitude, 0.0};
    const int i = static_cast<int>(q.hi * 16 + 0.5);
    DoubleDouble u = q;
    if (i > 0) {
        const double c = i / 16.0;
        u = dd::div(dd::add(q, -c), dd::add(dd::mul(q, c), 1.0));
    }
    DoubleDouble y = dd::add(kAtanOfSixteenths[static_cast<std::size_t>(i)], atanKernel(u));
    if (beyondOne) {
        y = dd::sub(kHalfPi, y);
    }
    if (x < 0) {
        y = dd::negate(y);
    }
    if (const auto rounded = roundedIfDecided(y, kEvaluationError)) {
        return *rounded;
    }
    return preciseAtan(x);
}

} // namespace karumenio::numeric

// The program's own exponential, logarithm and the functions made of them, against the C
// library's long double versions (64 bits or more of mantissa where these tests run).
#include "geodesy/elementary.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace karumenio;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Distance in units in the last place between two finite doubles of the same sign.
std::uint64_t ulpDistance(double a, double b) {
    if (a == b) {
        return 0;
    }
    if (std::signbit(a) != std::signbit(b)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const auto ia = std::bit_cast<std::uint64_t>(std::fabs(a));
    const auto ib = std::bit_cast<std::uint64_t>(std::fabs(b));
    return ia > ib ? ia - ib : ib - ia;
}

struct Function {
    std::string name;
    std::function<double(double)> ours;
    std::function<long double(long double)> reference;
    double from;
    double to;
};

// Arguments spread evenly in magnitude (and both signs where the domain has them), so that
// each branch of a function is reached.
std::vector<double> argumentsBetween(double from, double to) {
    std::vector<double> arguments;
    constexpr int kCount = 20000;
    for (int i = 0; i <= kCount; ++i) {
        const double t = static_cast<double>(i) / kCount;
        if (from > 0.0) {
            arguments.push_back(from * std::pow(to / from, t));
        } else {
            arguments.push_back(from + (to - from) * t);
        }
    }
    return arguments;
}

TEST(Elementary, WithinThreeUnitsInTheLastPlaceOfTheTrueValue) {
    const std::vector<Function> functions = {
        {"exp", geodesy::exp, [](long double x) { return std::exp(x); }, -745.0, 709.7},
        {"exp small", geodesy::exp, [](long double x) { return std::exp(x); }, -1.0, 1.0},
        {"expm1", geodesy::expm1, [](long double x) { return std::expm1(x); }, -50.0, 709.7},
        {"expm1 small", geodesy::expm1, [](long double x) { return std::expm1(x); }, -1.0, 1.0},
        {"expm1 tiny", geodesy::expm1, [](long double x) { return std::expm1(x); }, 1e-20, 1.0},
        {"log", geodesy::log, [](long double x) { return std::log(x); }, 1e-310, 1e308},
        {"log near 1", geodesy::log, [](long double x) { return std::log(x); }, 0.5, 2.0},
        {"log1p", geodesy::log1p, [](long double x) { return std::log1p(x); }, 1e-20, 1e300},
        {"log1p negative", geodesy::log1p, [](long double x) { return std::log1p(x); }, -0.999,
         -1e-20},
        {"sinh", geodesy::sinh, [](long double x) { return std::sinh(x); }, -710.0, 710.0},
        {"sinh small", geodesy::sinh, [](long double x) { return std::sinh(x); }, 1e-12, 2.0},
        {"cosh", geodesy::cosh, [](long double x) { return std::cosh(x); }, -710.0, 710.0},
        {"cosh small", geodesy::cosh, [](long double x) { return std::cosh(x); }, -1.0, 1.0},
        {"atanh", geodesy::atanh, [](long double x) { return std::atanh(x); }, -0.999999, 0.999999},
        {"atanh small", geodesy::atanh, [](long double x) { return std::atanh(x); }, 1e-12, 0.9},
        {"asinh", geodesy::asinh, [](long double x) { return std::asinh(x); }, -1e10, 1e10},
        {"asinh small", geodesy::asinh, [](long double x) { return std::asinh(x); }, 1e-12, 1e300},
        {"asin", geodesy::asin, [](long double x) { return std::asin(x); }, -1.0, 1.0},
        {"asin small", geodesy::asin, [](long double x) { return std::asin(x); }, 1e-12, 1.0},
    };
    for (const Function& f : functions) {
        SCOPED_TRACE(f.name);
        std::uint64_t worst = 0;
        double worstArgument = 0.0;
        for (const double x : argumentsBetween(f.from, f.to)) {
            const double got = f.ours(x);
            const auto expected = static_cast<double>(f.reference(x));
            const std::uint64_t distance = ulpDistance(got, expected);
            if (distance > worst) {
                worst = distance;
                worstArgument = x;
            }
        }
        EXPECT_LE(worst, 3u) << "at " << worstArgument;
    }
}

TEST(Elementary, Atan2AgreesInEveryQuadrantAndOnTheAxes) {
    std::vector<double> values = {0.0, -0.0, kInf, -kInf, 1e-300, -1e-300, 1e300, -1e300};
    for (double v = 1e-3; v < 1e3; v *= 1.7) {
        values.push_back(v);
        values.push_back(-v);
    }
    for (const double y : values) {
        for (const double x : values) {
            const double got = geodesy::atan2(y, x);
            const auto expected = static_cast<double>(
                std::atan2(static_cast<long double>(y), static_cast<long double>(x)));
            EXPECT_LE(ulpDistance(got, expected), 2u) << "atan2(" << y << ", " << x << ")";
            EXPECT_EQ(std::signbit(got), std::signbit(expected)) << y << ", " << x;
        }
    }
    EXPECT_TRUE(std::isnan(geodesy::atan2(kNaN, 1.0)));
    EXPECT_TRUE(std::isnan(geodesy::atan2(1.0, kNaN)));
}

TEST(Elementary, EdgesOfTheDomainsAsTheCLibraryHasThem) {
    struct Case {
        const char* what;
        double got;
        double expected;
    };
    const Case cases[] = {
        {"exp(-inf)", geodesy::exp(-kInf), 0.0},
        {"exp(inf)", geodesy::exp(kInf), kInf},
        {"exp overflows", geodesy::exp(710.0), kInf},
        {"exp underflows", geodesy::exp(-746.0), 0.0},
        {"exp(0)", geodesy::exp(0.0), 1.0},
        {"expm1(-inf)", geodesy::expm1(-kInf), -1.0},
        {"expm1(inf)", geodesy::expm1(kInf), kInf},
        {"log(0)", geodesy::log(0.0), -kInf},
        {"log(inf)", geodesy::log(kInf), kInf},
        {"log(1)", geodesy::log(1.0), 0.0},
        {"log1p(-1)", geodesy::log1p(-1.0), -kInf},
        {"log1p(max)", geodesy::log1p(std::numeric_limits<double>::max()),
         static_cast<double>(
             std::log(static_cast<long double>(std::numeric_limits<double>::max())))},
        {"atanh(1)", geodesy::atanh(1.0), kInf},
        {"atanh(-1)", geodesy::atanh(-1.0), -kInf},
        {"sinh(-inf)", geodesy::sinh(-kInf), -kInf},
        {"cosh(-inf)", geodesy::cosh(-kInf), kInf},
        {"asinh(-inf)", geodesy::asinh(-kInf), -kInf},
        {"asin(-1)", geodesy::asin(-1.0), static_cast<double>(std::asin(-1.0L))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.expected) << c.what;
    }
    for (const double nan : {geodesy::log(-1.0), geodesy::log1p(-1.5), geodesy::atanh(1.5),
                             geodesy::asin(1.0000001), geodesy::exp(kNaN), geodesy::log(kNaN),
                             geodesy::sinh(kNaN), geodesy::cosh(kNaN), geodesy::asinh(kNaN)}) {
        EXPECT_TRUE(std::isnan(nan));
    }
    // Odd functions keep the sign of zero.
    for (const auto f : {geodesy::expm1, geodesy::log1p, geodesy::sinh, geodesy::atanh,
                         geodesy::asinh, geodesy::asin}) {
        EXPECT_TRUE(std::signbit(f(-0.0)));
    }
}

} // namespace

// The correctly rounded sine, cosine and arc tangent on the committed table of hard arguments,
// and on the values the C library gives special meanings. Runs on every platform, MPFR or not.
#include "trighardcases.h"

#include "numeric/conversion.h"
#include "numeric/precisetrig.h"
#include "numeric/trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace karumenio;

namespace {

TEST(Trig, HardCasesAreCorrectlyRounded) {
    const auto cases = numeric::test::readHardCases();
    ASSERT_GE(cases.size(), 50u) << numeric::test::hardCasePath();
    for (const auto& c : cases) {
        const double x = numeric::bitCast<double>(c.argument);
        char argument[32];
        std::snprintf(argument, sizeof argument, "%a", x);
        SCOPED_TRACE(c.function + "(" + argument + "): " + c.what);
        const bool sine = c.function == "sin";
        const bool cosine = c.function == "cos";
        const double got = sine ? numeric::sin(x) : cosine ? numeric::cos(x) : numeric::atan(x);
        EXPECT_EQ(numeric::bitCast<std::uint64_t>(got), c.result);
        // The fallback is rarely reached from the functions, so it is asked directly here, at
        // each width it can start from, wherever it is defined.
        const double from = sine ? 0x1p-26 : 0x1p-27;
        if (std::fabs(x) >= from && (sine || cosine || std::fabs(x) < 0x1p55)) {
            for (const int limbs : {6, 12, 24}) {
                const double precise = sine     ? numeric::preciseSin(x, limbs)
                                       : cosine ? numeric::preciseCos(x, limbs)
                                                : numeric::preciseAtan(x, limbs);
                EXPECT_EQ(numeric::bitCast<std::uint64_t>(precise), c.result) << limbs;
            }
        }
    }
}

TEST(Trig, InfinitiesAndNaNGiveNaNLikeTheCLibrary) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double x : {kInf, -kInf, nan, -nan}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(std::isnan(numeric::sin(x)));
        EXPECT_TRUE(std::isnan(numeric::cos(x)));
    }
    EXPECT_TRUE(std::isnan(numeric::atan(nan)));
}

TEST(Trig, OddAndEvenSymmetryHoldsBitForBit) {
    // Reduction and rounding treat both signs alike, so f(−x) is exactly −f(x) or f(x).
    for (double x = 0x1p-30; x < 0x1p60; x *= 1.37) {
        SCOPED_TRACE(x);
        EXPECT_EQ(numeric::sin(-x), -numeric::sin(x));
        EXPECT_EQ(numeric::cos(-x), numeric::cos(x));
        EXPECT_EQ(numeric::atan(-x), -numeric::atan(x));
    }
}

} // namespace

// The pieces of text the geographic outputs are made of: fixed decimals whatever the locale and
// platform, and the test of the decimal numbers a caller hands in.
#include "geodesy/fixeddecimals.h"
#include "geodesy/jsontext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace karumenio::geodesy;

namespace {

TEST(FixedDecimals, RoundFromTheExactBinaryValueHalvesAwayFromZeroAndNeverShowMinusZero) {
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {139.470140593496, 9, "139.470140593"},
        {35.7849690136932, 9, "35.784969014"},
        {-23795.96, 3, "-23795.960"},
        {1.0005, 3, "1.000"},           // the double lies just below the half
        {-32832.2505, 3, "-32832.251"}, // and this one just beyond
        {-23795.0625, 3, "-23795.063"}, // exactly on the half: away from zero
        {0.0625, 3, "0.063"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {-0.0004, 3, "0.000"},
        {-0.0, 3, "0.000"},
        {-1e-12, 9, "0.000000000"},
        {1e20, 1, "100000000000000000000.0"},
        {-5000000.0, 3, "-5000000.000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixed(c.value, c.decimals), c.text) << c.value;
    }
}

std::string libraryFixed(double value, int decimals) {
    static char buffer[1500];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    return std::string(buffer, end);
}

// The value's exact decimal expansion rounded to that many decimals, halves away from zero,
// digit by digit as on paper.
std::string roundedOnPaper(double value, int decimals) {
    std::string exact = libraryFixed(value, 1100);
    const std::size_t cut = exact.find('.') + 1 + static_cast<std::size_t>(decimals);
    const bool up = exact[cut] >= '5';
    exact.resize(decimals == 0 ? cut - 1 : cut);
    if (up) {
        std::size_t i = exact.size();
        while (i-- > 0 && (exact[i] == '9' || exact[i] == '.')) {
            if (exact[i] == '9') {
                exact[i] = '0';
            }
        }
        if (i == std::string::npos || exact[i] == '-') {
            exact.insert(i + 1, "1");
        } else {
            ++exact[i];
        }
    }
    return exact;
}

TEST(FixedDecimals, AgreeWithRoundingTheExactValueOnPaper) {
    // Magnitudes from a thousandth to beyond 2^52, where the general conversion takes over,
    // a third of them with few bits so that exact halves come up often.
    std::mt19937_64 random(20240518);
    std::uniform_real_distribution<double> exponent(-3.0, 17.0);
    for (int i = 0; i < 100000; ++i) {
        const double magnitude = std::pow(10.0, exponent(random));
        const double rounded =
            i % 3 == 0 ? std::ldexp(std::round(std::ldexp(magnitude, 4)), -4) : magnitude;
        const double value = (i % 2 == 0) ? rounded : -rounded;
        const int decimals = i % 13;
        std::string expected = roundedOnPaper(value, decimals);
        if (expected.find_first_not_of("-0.") == std::string::npos && expected[0] == '-') {
            expected.erase(0, 1);
        }
        ASSERT_EQ(fixed(value, decimals), expected) << libraryFixed(value, 30);
    }
}

TEST(FixedDecimals, CoordinatesInMessagesShowWhatCannotBeWritten) {
    EXPECT_EQ(coordinateText({-23795.96, 0.0}), "X=-23795.960、Y=0.000");
    EXPECT_EQ(coordinateText({std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity()}),
              "X=?、Y=?");
}

TEST(JsonText, NumbersAreTheGrammarsAndNothingMore) {
    for (const char* yes : {"0", "-0", "362.500000", "-12.5", "1e5", "1E+5", "2.5e-3", "10"}) {
        EXPECT_TRUE(isJsonNumber(yes)) << yes;
    }
    for (const char* no : {"", "-", "+1", ".5", "1.", "01", "00.5", "1e", "1e+", "0x10", "1,5",
                           " 1", "1 ", "NaN", "Infinity", "1.2.3", "--1"}) {
        EXPECT_FALSE(isJsonNumber(no)) << no;
    }
}

TEST(JsonText, EscapesAreTheShortFormsWhereJsonHasThem) {
    struct Case {
        std::string text;
        const char* json;
    };
    const Case cases[] = {
        {"plain", R"("plain")"},
        {"a\"b\\c", R"("a\"b\\c")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("\x00\x1f", 2), R"("\u0000\u001f")"},
        {"/\x7f", "\"/\x7f\""},
        {"境界", "\"境界\""},
    };
    for (const Case& c : cases) {
        std::string out;
        appendJsonString(out, c.text);
        EXPECT_EQ(out, c.json);
    }
}

} // namespace

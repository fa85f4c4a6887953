#include "plan/degreesperradian.h"
#include "plan/kakudo.h"
#include "plan/rotationangle.h"
#include "scripts/textforms.h"

#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

using namespace karumenio;

namespace {

struct LooseCase {
    const char* text;
    double value;
};

TEST(Kakudo, LooseNumberReading) {
    const LooseCase cases[] = {
        {"0.0000", 0},
        {"130.1001", 130.1001},
        {"-130.1001", -130.1001},
        {"+12.5", 12.5},
        {"", 0},
        {"abc", 0},
        {"12abc", 12},
        {"130,1001", 130},
        {"1 2.5", 12.5},
        {" \t-\n4 5 . 3", -45.3},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"1.2.3", 1.2},
        {"1.5e2", 150},
        {"1.5E+2", 150},
        {"15e-1", 1.5},
        {"1e", 1},
        {"1e+", 1},
        {"1ex", 1},
        {"&H1F", 31},
        {"&hff", 255},
        {"&O17", 15},
        {"&o19", 1},
        {"&Hxyz", 0},
        {"&", 0},
        {"1e-400", 0},
        {"0.0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000001",
         0},
        {"\u3000"
         "12",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(plan::looseNumber(c.text), c.value);
    }
}

TEST(Kakudo, AHugeNumberIsAnOverflowNotAnInfiniteAngle) {
    for (const char* text : {"1e400", "-1e999999999999",
                             "&H" /* followed by many digits */
                             "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                             "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                             "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                             "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                             "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}) {
        SCOPED_TRACE(text);
        try {
            plan::looseNumber(text);
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
}

struct AngleCase {
    const char* text;
    double degrees;
    const char* printed;
};

// Degrees, minutes and seconds come from the decimal digits of the typed number, and the
// result is D + (M + S / 60) / 60 in that grouping.
TEST(Kakudo, PackedAnglesBecomeDecimalDegrees) {
    const AngleCase cases[] = {
        {"0.0000", 0, "0"},
        {"130.1001", 130 + (10 + 1.0 / 60) / 60, "130.166944444444"},
        {"-130.1001", -130 + (-10 + -1.0 / 60) / 60, "-130.166944444444"},
        {"12.3456", 12 + (34 + 56.0 / 60) / 60, "12.5822222222222"},
        {"130.10015", 130 + (10 + 1.5 / 60) / 60, "130.167083333333"},
        {"130.105", 130 + (10 + 50.0 / 60) / 60, "130.180555555556"},
        {"10.7500", 11.25, "11.25"},
        {"359.5959", 359 + (59 + 59.0 / 60) / 60, "359.999722222222"},
        {"0.3000", 0.5, "0.5"},
        {"-0.3000", -0.5, "-0.5"},
        {"90", 90, "90"},
        {"", 0, "0"},
        {"abc", 0, "0"},
        {"12abc", 12, "12"},
        {"130,1001", 130, "130"},
        {"1 2.5", 12.833333333333334, "12.8333333333333"},
        // Minutes without an exact double form are not cut one short.
        {"45.3000", 45.5, "45.5"},
        {"130.1000", 130 + 10.0 / 60, "130.166666666667"},
        {"0.0001", (0 + 1.0 / 60) / 60, "0.000277777777777778"},
        {"-0.00005", (0 + -0.5 / 60) / 60, "-0.000138888888888889"},
        {"1.5e2", 150, "150"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const double degrees = plan::RotationAngle(c.text).degrees();
        EXPECT_EQ(degrees, c.degrees);
        EXPECT_EQ(scripts::plainForm(spreadsheet::CellValue::number(degrees)), c.printed);
    }
}

TEST(Kakudo, EveryWholeMinuteOfEveryDegreeIsExact) {
    int wrong = 0;
    for (int d = 0; d < 360; ++d) {
        for (int m = 0; m < 60; ++m) {
            char text[16];
            std::snprintf(text, sizeof text, "%d.%02d00", d, m);
            const double got = plan::packedAngleDegrees(plan::looseNumber(text));
            if (got != d + m / 60.0 && ++wrong <= 5) {
                ADD_FAILURE() << text << " gave " << got;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Kakudo, DegreesPerRadianAreTheTextAsItTakesPartInArithmetic) {
    EXPECT_EQ(plan::kDegreesPerRadianText, "57.2957795130823208767981548141052");
    EXPECT_EQ(plan::degreesPerRadian(), 57.29577951308232);
}

TEST(Kakudo, AnAngleTooLargeToReadFailsWhereItIsUsed) {
    // Reading the text never fails; the run that takes the angle does, every time.
    const plan::RotationAngle angle("1e400");
    for (int run = 0; run < 2; ++run) {
        try {
            angle.degrees();
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 6);
        }
    }
    EXPECT_EQ(plan::RotationAngle().degrees(), 0);
}

} // namespace

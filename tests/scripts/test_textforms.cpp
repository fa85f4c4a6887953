#include "scripts/scriptfile.h"
#include "scripts/textforms.h"

#include "points/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace karumenio;
using points::CellValue;

namespace {

struct FormCase {
    const char* name;
    CellValue value;
    const char* coordinate;
    const char* plain;
};

TEST(TextForms, CoordinateAndPlainFormOfEachKindOfValue) {
    const FormCase cases[] = {
        {"one half", CellValue::number(0.5), ".5", "0.5"},
        {"minus one half", CellValue::number(-0.5), "-.5", "-0.5"},
        {"minus one and a half", CellValue::number(-1.5), "-1.5", "-1.5"},
        {"negative rotation", CellValue::number(-12.25), "-12.25", "-12.25"},
        {"whole number has no point", CellValue::number(100), "100", "100"},
        {"negative zero", CellValue::number(-0.0), "0", "0"},
        {"empty", CellValue(), "0", ""},
        {"text number", CellValue::text("12.50"), "12.5", "12.50"},
        {"text number with blanks", CellValue::text(" 7 "), "7", "7"},
        {"15 significant digits", CellValue::number(130.16694444444443), "130.166944444444",
         "130.166944444444"},
        {"rounding carries into a new digit", CellValue::number(999999999999999.9), "1E+15",
         "1E+15"},
        {"ten to the fifteenth", CellValue::number(1e15), "1E+15", "1E+15"},
        {"just below ten to the fifteenth", CellValue::number(123456789012345.0), "123456789012345",
         "123456789012345"},
        {"cosine residue", CellValue::number(2.5e-17), "2.5E-17", "2.5E-17"},
        {"label residue", CellValue::number(7.960204194457796e-17), "7.9602041944578E-17",
         "7.9602041944578E-17"},
        {"one ten-thousandth keeps fixed notation", CellValue::number(0.0001), ".0001", "0.0001"},
        {"small negative", CellValue::number(-0.000123), "-.000123", "-0.000123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scripts::coordinateForm(c.value), c.coordinate);
        EXPECT_EQ(scripts::plainForm(c.value), c.plain);
    }
}

TEST(TextForms, PlainFormTrimsAsciiBlanksOnlyAndKeepsTextAsItIs) {
    EXPECT_EQ(scripts::plainForm(CellValue::text("  K1 ")), "K1");
    EXPECT_EQ(scripts::plainForm(CellValue::text("\u3000測点\u3000")), "\u3000測点\u3000");
    EXPECT_EQ(scripts::plainForm(CellValue::text("   ")), "");
    EXPECT_EQ(scripts::plainForm(CellValue::text("abc")), "abc");
}

TEST(TextForms, CoordinateFormOfTextThatIsNoNumberIsATypeMismatch) {
    for (const char* text : {"abc", "", " ", "1,5", "12abc"}) {
        SCOPED_TRACE(text);
        try {
            scripts::coordinateForm(CellValue::text(text));
            ADD_FAILURE() << "no error";
        } catch (const points::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
        }
    }
}

// The script writers format numbers with their own fast routine; it must agree digit for
// digit with the cell value's text rules everywhere, the rounding edges included.
TEST(TextForms, FastNumberFormattingAgreesWithTheCellValueRules) {
    std::vector<double> values = {0.1 + 0.2,
                                  1.0 / 3.0,
                                  2.0 / 3.0,
                                  999999999999999.4,
                                  999999999999999.5,
                                  99999999999999.95,
                                  0.00009999999999999999,
                                  0.000099999999999999,
                                  1e-5,
                                  1e-10,
                                  1e-11,
                                  123456789.123456789,
                                  5e-324,
                                  1e-310,
                                  2.2250738585072009e-308,
                                  2.2250738585072014e-308,
                                  1.7976931348623157e308,
                                  0.30000000000000004,
                                  1.0000000000000002,
                                  9.999999999999999e22};
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-22, 22);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
        // Short decimals such as survey coordinates.
        values.push_back(std::round(mantissa(random) * 1e7) / 1000.0);
        // Decimals that end exactly half-way past the 15th digit.
        values.push_back((std::floor(mantissa(random) * 1e14) + 0.5) *
                         std::pow(10.0, exponent(random) - 14));
        double any = 0;
        const std::uint64_t b = bits(random);
        std::memcpy(&any, &b, sizeof any);
        if (std::isfinite(any)) {
            values.push_back(any);
        }
    }
    int mismatches = 0;
    for (const double v : values) {
        for (const double signed_ : {v, -v}) {
            for (const bool leadingZero : {false, true}) {
                std::string fast;
                scripts::appendNumber(fast, signed_, leadingZero);
                const std::string reference = points::formatNumber(signed_, leadingZero);
                if (fast != reference && ++mismatches <= 10) {
                    ADD_FAILURE() << std::hexfloat << signed_ << ": " << fast << " vs "
                                  << reference;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ScriptFile, ItemsBackToBackAndCrLfAfterEveryLine) {
    scripts::ScriptFile file;
    file.pointLine(CellValue::number(100), CellValue::number(201.3));
    file.pointLine(CellValue::number(-0.25), CellValue::number(12));
    file.write("  ");
    file.pointLine(CellValue::text("0.25"), CellValue());
    file.endLine();
    file.write("LINE 0,0 100<");
    file.writePlain(CellValue::number(0.25));
    file.write(" ");
    file.endLine();
    EXPECT_EQ(file.text(), "100,201.3\r\n-.25,12\r\n  .25,0\r\n\r\nLINE 0,0 100<0.25 \r\n");
}

} // namespace

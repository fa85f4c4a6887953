#include "scripts/scriptfile.h"
#include "scripts/textforms.h"

#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace karumenio;
using spreadsheet::CellValue;

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
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
        }
    }
}

// The script writers format numbers with their own fast routine; it must agree digit for
// digit with the cell value's text rules everywhere, the rounding edges included.
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

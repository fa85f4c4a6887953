#include "printers.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <string>

using namespace karumenio::spreadsheet;

namespace {

struct TypedCase {
    const char* typed;
    int column;
    CellContent expected;
    // What the cell editor shows afterwards; typing it again gives the same content.
    const char* shown;
};

TEST(Worksheet, TypingFollowsSpreadsheetRules) {
    const TypedCase cases[] = {
        {"12.5", 3, CellContent::value(CellValue::number(12.5)), "12.5"},
        {" -0.25 ", 3, CellContent::value(CellValue::number(-0.25)), "-0.25"},
        {"001", 3, CellContent::value(CellValue::number(1)), "1"},
        {"001", 2, CellContent::value(CellValue::text("001")), "001"},
        {"12", 2, CellContent::value(CellValue::text("12")), "12"},
        {"'001", 3, CellContent::value(CellValue::text("001")), "'001"},
        {"'", 1, CellContent::value(CellValue::text("")), "'"},
        {"K", 1, CellContent::value(CellValue::text("K")), "K"},
        {" ", 3, CellContent::value(CellValue::text(" ")), " "},
        {"'=1", 2, CellContent::value(CellValue::text("=1")), "'=1"},
        {"=G6", 2, CellContent::formulaText("=G6"), "=G6"},
        {"", 3, CellContent(), ""},
    };
    for (const TypedCase& c : cases) {
        Worksheet sheet;
        sheet.enter(4, c.column, c.typed);
        EXPECT_EQ(sheet.content(4, c.column), c.expected) << '"' << c.typed << '"';
        EXPECT_EQ(sheet.inputText(4, c.column), c.shown) << '"' << c.typed << '"';
        Worksheet again;
        again.enter(4, c.column, sheet.inputText(4, c.column));
        EXPECT_EQ(again.content(4, c.column), c.expected) << '"' << c.typed << '"';
    }
}

TEST(Worksheet, EditsRecalculateDependentFormulas) {
    Worksheet sheet;
    sheet.setFormula(1, 5, "MAX(C1:C9)"); // the "=" is supplied
    EXPECT_EQ(sheet.formula(1, 5), "=MAX(C1:C9)");
    sheet.enter(3, 3, "7");
    EXPECT_EQ(sheet.value(1, 5), CellValue::number(7));
    sheet.setValue(4, 3, CellValue::number(9));
    EXPECT_EQ(sheet.value(1, 5), CellValue::number(9));
    sheet.clear(4, 3, 4, 3);
    EXPECT_EQ(sheet.value(1, 5), CellValue::number(7));
}

TEST(Worksheet, UndoAndRedoRestoreContentAndResults) {
    Worksheet sheet;
    sheet.setFormula(1, 1, "=SUM(C1:C3)");
    sheet.enter(1, 3, "1");
    sheet.enter(2, 3, "2");
    const EditRecord cleared = sheet.clear(1, 1, 3, 4);
    EXPECT_EQ(cleared.size(), 3u) << "only cells that held something";
    EXPECT_EQ(sheet.lastUsedRow(), 0);
    EXPECT_TRUE(sheet.value(1, 1).isEmpty());

    sheet.undo(cleared);
    EXPECT_EQ(sheet.formula(1, 1), "=SUM(C1:C3)");
    EXPECT_EQ(sheet.value(1, 1), CellValue::number(3));

    const EditRecord typed = sheet.enter(2, 3, "=C1*10");
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0].before, CellContent::value(CellValue::number(2)));
    EXPECT_EQ(sheet.value(1, 1), CellValue::number(11));
    sheet.undo(typed);
    EXPECT_EQ(sheet.value(1, 1), CellValue::number(3));
    sheet.redo(typed);
    EXPECT_EQ(sheet.value(1, 1), CellValue::number(11));

    EXPECT_TRUE(sheet.enter(2, 3, "=C1*10").empty()) << "typing the same content changes nothing";
}

TEST(Worksheet, SparseColumnsAndFarRows) {
    Worksheet sheet;
    sheet.enter(65536, 256, "5");
    sheet.enter(40000, 3, "2");
    sheet.setFormula(1, 9, "=IV65536*C40000");
    EXPECT_EQ(sheet.value(1, 9), CellValue::number(10));
    EXPECT_EQ(sheet.lastUsedRow(), 65536);
    sheet.clear(1, 1, Worksheet::kRowCount, Worksheet::kColumnCount);
    EXPECT_EQ(sheet.lastUsedRow(), 0);
    EXPECT_TRUE(sheet.value(40000, 3).isEmpty());
}

TEST(Worksheet, CellsOutsideTheGridAreEmptyToReadAndRefusedToWrite) {
    Worksheet sheet;
    EXPECT_TRUE(sheet.value(0, 1).isEmpty());
    EXPECT_TRUE(sheet.value(70000, 300).isEmpty());
    for (auto [row, column] : {std::pair{0, 1}, {65537, 1}, {1, 0}, {1, 257}}) {
        try {
            sheet.enter(row, column, "1");
            ADD_FAILURE() << row << "," << column;
        } catch (const RunTimeError& e) {
            EXPECT_EQ(e.error(), RunError::SubscriptOutOfRange);
        }
    }
    EXPECT_THROW(sheet.apply({{1, 1, {}, CellContent::value(CellValue::number(1))},
                              {0, 1, {}, CellContent::value(CellValue::number(1))}}),
                 RunTimeError);
    EXPECT_TRUE(sheet.value(1, 1).isEmpty()) << "a refused batch writes nothing";
}

TEST(Workbook, FindsSheetsWithoutRegardToCase) {
    Workbook book;
    Worksheet& sheet = book.addSheet("Sheet1");
    book.addSheet("Daten");
    EXPECT_EQ(book.findSheet("SHEET1"), &sheet);
    EXPECT_EQ(&book.worksheets("sheet1"), &sheet);
    EXPECT_EQ(book.findSheet("Sheet"), nullptr);
    try {
        book.worksheets("SHEET2");
        ADD_FAILURE() << "missing sheet was found";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_NE(std::string(e.what()).find("SHEET2"), std::string::npos) << e.what();
    }
}

TEST(CellFormat, ShowsValuesUnderTheirFormat) {
    struct Case {
        CellValue value;
        const char* format;
        const char* shown;
    };
    const Case cases[] = {
        {CellValue::number(0), "0.0_ ", "0.0 "},
        {CellValue::number(0.5), "0.0_ ", "0.5 "},
        {CellValue::number(10), "0.0_ ", "10.0 "},
        {CellValue::number(0.25), "0.0_ ", "0.3 "},
        {CellValue::number(-1.25), "0.0_ ", "-1.3 "},
        {CellValue::number(-0.01), "0.0_ ", "0.0 "},
        {CellValue::number(2.5), "0", "3"},
        {CellValue::text(""), "0.0_ ", ""},
        {CellValue::text("K1"), "0.0_ ", "K1"},
        {CellValue(), "0.0_ ", ""},
        {CellValue::number(110), "General", "110"},
        {CellValue::number(-60), "General", "-60"},
        {CellValue::number(0.1 + 0.2), "General", "0.3"},
        {CellValue::number(1.0 / 3.0), "General", "0.3333333333"},
        {CellValue::number(12345.678), "General", "12345.678"},
        {CellValue::number(1e15), "General", "1E+15"},
        {CellValue::number(-1.5e-12), "General", "-1.5E-12"},
        {CellValue::number(4), "#,##0", "4"},
        {CellValue::boolean(true), "General", "TRUE"},
        {CellValue::error("#DIV/0!"), "0.0_ ", "#DIV/0!"},
        {CellValue::text("001"), "General", "001"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatValue(c.value, c.format), c.shown)
            << c.value.joinForm() << " in " << c.format;
    }
}

TEST(CellFormat, ZeroValuesCanBeHidden) {
    Worksheet sheet;
    sheet.setFormula(1, 1, "=B1*2");
    EXPECT_EQ(displayText(sheet, 1, 1), "0");
    sheet.layout().zeroValuesShown = false;
    EXPECT_EQ(displayText(sheet, 1, 1), "");
    sheet.enter(1, 3, "0.5");
    sheet.setFormula(1, 1, "=C1*2");
    EXPECT_EQ(displayText(sheet, 1, 1), "1");
}

} // namespace

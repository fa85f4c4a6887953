#include "../spreadsheet/printers.h"
#include "points/inputtemplate.h"
#include "points/templaterestore.h"
#include "sheetdata.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/paste.h"

#include <gtest/gtest.h>

using namespace karumenio::points;
using namespace karumenio::spreadsheet;
using karumenio::points::testing::dataSheet;
using karumenio::points::testing::readFixture;

namespace {

constexpr int kE = 5, kF = 6, kG = 7;

TEST(InputTemplate, AsShippedHasNoPointsAndZeroExtents) {
    Workbook book = makeInputTemplate();
    ASSERT_EQ(book.sheetCount(), 1);
    const Worksheet& sheet = dataSheet(book);
    EXPECT_EQ(sheet.name(), "Sheet1");
    EXPECT_TRUE(sheet.value(6, 3).equalsEmptyText());
    for (auto [row, column] : {std::pair{6, kE}, {7, kE}, {6, kF}, {7, kF}}) {
        EXPECT_EQ(sheet.value(row, column), CellValue::number(0)) << cellName(row, column);
    }
    EXPECT_EQ(sheet.formula(6, kE), "=MAX(C6:C3006)");
    EXPECT_EQ(sheet.formula(6, kF), "=MAX(D6:D3006)");
    EXPECT_EQ(sheet.formula(7, kE), "=MIN(C6:C3006)");
    EXPECT_EQ(sheet.formula(7, kF), "=MIN(D6:D3006)");
    EXPECT_EQ(sheet.content(6, kG), CellContent::value(CellValue::number(0)));
    EXPECT_EQ(displayText(sheet, 6, kG), "0.0 ");
    EXPECT_EQ(sheet.formula(7, kG), "=IF(C7=\"\",\"\",G6)");
    EXPECT_EQ(sheet.formula(3006, kG), "=IF(C3006=\"\",\"\",G3005)");
    EXPECT_EQ(sheet.formula(3007, kG), "");
    for (int row = 7; row <= 3006; ++row) {
        ASSERT_EQ(sheet.value(row, kG), CellValue::text("")) << row;
        ASSERT_EQ(displayText(sheet, row, kG), "") << row;
    }
    // The headings belong to the shapes, not the cells.
    for (int column = 1; column <= 7; ++column) {
        EXPECT_TRUE(sheet.value(5, column).isEmpty()) << column;
    }
    EXPECT_EQ(sheet.value(1, 1).textValue(), "座 標 値 の 貼 り 付 け は 3000 点 ま で");
    EXPECT_EQ(sheet.value(4, 1).textValue(),
              "計算式等が消えたりした時はKarumenio.exeを終了して下さい");
    EXPECT_EQ(sheet.lastUsedRow(), 3006);
}

TEST(InputTemplate, LayoutAsShipped) {
    Workbook book = makeInputTemplate();
    const SheetLayout& layout = dataSheet(book).layout();
    // H and I, the survey map's 境界標 and 種別, are shown after G.
    const bool hidden[] = {false, false, false, false, true, true, false, false, false, true};
    for (int column = 1; column <= 10; ++column) {
        EXPECT_EQ(layout.isColumnHidden(column), hidden[column - 1]) << column;
    }
    EXPECT_TRUE(layout.isColumnHidden(Worksheet::kColumnCount));
    EXPECT_EQ(layout.columnWidth(7), 15.625);
    EXPECT_EQ(layout.columnWidth(5), 15.625);
    EXPECT_EQ(layout.columnWidth(9), 15.625);
    EXPECT_EQ(layout.columnWidth(10), 0.0);
    EXPECT_EQ(layout.columnWidth(256), 0.0);
    EXPECT_EQ(layout.rowHeight(5), 402);
    EXPECT_EQ(layout.rowHeight(6), 270);
    EXPECT_EQ(layout.rowHeight(1), 270);
    EXPECT_EQ(layout.mergedRange(2, 5), (CellRange{1, 1, 2, 7}));
    EXPECT_EQ(layout.mergedRange(4, 7), (CellRange{4, 1, 4, 7}));
    EXPECT_FALSE(layout.mergedRange(5, 1));

    const CellStyle title = layout.style(1, 1);
    EXPECT_EQ(title.pointSize, 12.0);
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.vertical, VerticalAlignment::Centre);
    EXPECT_EQ(layout.style(3, 1).colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(layout.style(6, 7).colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(layout.style(7, 7).colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(layout.numberFormat(6, 7), "0.0_ ");
    EXPECT_EQ(layout.numberFormat(3006, 7), "0.0_ ");
    EXPECT_EQ(layout.numberFormat(3007, 7), "General");
    EXPECT_EQ(layout.numberFormat(6, 3), "General");
    EXPECT_EQ(layout.style(100, 2).horizontal, HorizontalAlignment::Centre);
    EXPECT_EQ(layout.style(100, 2).fontFamily, "ＭＳ Ｐゴシック");

    ASSERT_NE(layout.comment(6, 1), nullptr);
    EXPECT_EQ(layout.comment(6, 1)->text, "空白以外の文字を入力します。\n例：K \n");
    ASSERT_NE(layout.comment(6, 7), nullptr);
    EXPECT_EQ(layout.comment(6, 7)->text,
              "ここの値を変更すると全ての値3000点分の半径を変更できます。\n"
              "個別に半径を変更することもできます。\n");
    EXPECT_EQ(layout.comment(7, 7), nullptr);
    ASSERT_NE(layout.comment(6, 8), nullptr);
    EXPECT_NE(layout.comment(6, 8)->text.find("コンクリート杭・石杭"), std::string::npos);
    ASSERT_NE(layout.comment(6, 9), nullptr);
    EXPECT_NE(layout.comment(6, 9)->text.find("筆界点・引照点・基準点"), std::string::npos);
    EXPECT_EQ(layout.style(100, 9).horizontal, HorizontalAlignment::Centre);

    ASSERT_EQ(layout.headingShapes.size(), 7u);
    const std::pair<int, const char*> headings[] = {{1, "区　画"}, {2, "測点名"},    {3, "X 座標"},
                                                    {4, "Y 座標"}, {7, "Plot 半径"}, {8, "境界標"},
                                                    {9, "種別"}};
    for (std::size_t i = 0; i < 7; ++i) {
        const HeadingShape& shape = layout.headingShapes[i];
        EXPECT_EQ(shape.row, 5);
        EXPECT_EQ(shape.column, headings[i].first);
        EXPECT_EQ(shape.text, headings[i].second);
        EXPECT_EQ(shape.fontFamily, "ＭＳ Ｐ明朝");
        EXPECT_EQ(shape.fillEdge, (Rgb{94, 158, 255}));
        EXPECT_EQ(shape.fillMiddle, (Rgb{255, 235, 250}));
        EXPECT_EQ(shape.outline, (Rgb{31, 27, 101}));
    }
    EXPECT_TRUE(layout.gridlinesShown);
    EXPECT_FALSE(layout.headingsShown);
    EXPECT_TRUE(layout.zeroValuesShown);
    EXPECT_EQ(layout.selection, (CellRange{1, 1, 2, 7}));
    EXPECT_EQ(layout.defaultPointSize, 11.0);
}

TEST(InputTemplate, WorkedExampleGivesItsExtentsAndRadii) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 1, readFixture("worked_example.tsv"));
    EXPECT_EQ(sheet.value(6, kE), CellValue::number(110));
    EXPECT_EQ(sheet.value(7, kE), CellValue::number(-50));
    EXPECT_EQ(sheet.value(6, kF), CellValue::number(150));
    EXPECT_EQ(sheet.value(7, kF), CellValue::number(-60));
    const char* radii[] = {"0.0 ", "0.0 ", "0.0 ", "0.0 ",  "0.0 ", "1.0 ",
                           "2.0 ", "3.0 ", "4.0 ", "10.0 ", "2.0 ", "0.0 "};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(displayText(sheet, 6 + i, kG), radii[i]) << "row " << 6 + i;
    }
    EXPECT_EQ(sheet.formula(10, kG), "=IF(C10=\"\",\"\",G9)");
    EXPECT_EQ(sheet.formula(11, kG), "");
    EXPECT_EQ(displayText(sheet, 18, kG), "");
}

TEST(InputTemplate, RadiusInG6ReachesEveryFilledRow) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 1, karumenio::points::testing::numberedRows(12));
    sheet.enter(6, kG, "0.5");
    for (int row = 7; row <= 17; ++row) {
        EXPECT_EQ(sheet.value(row, kG), CellValue::number(0.5)) << row;
        EXPECT_EQ(displayText(sheet, row, kG), "0.5 ") << row;
    }
    for (int row : {18, 19, 3006}) {
        EXPECT_EQ(sheet.value(row, kG), CellValue::text("")) << row;
    }
}

TEST(InputTemplate, GapEmptiesTheRadiusFromThereDown) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    sheet.enter(6, kG, "3");
    paste(sheet, 6, 1, "\tA\t1\t1\n\tB\t2\t2\n\tC\t\t3\n\tD\t4\t4\n\tE\t5\t5\n");
    EXPECT_EQ(sheet.value(7, kG), CellValue::number(3));
    for (int row = 8; row <= 12; ++row) {
        EXPECT_EQ(sheet.value(row, kG), CellValue::text("")) << row;
    }
    // The extents still take in the rows below the gap.
    EXPECT_EQ(sheet.value(6, kE), CellValue::number(5));
}

TEST(InputTemplate, DamageLastsOnlyUntilTheNextTemplate) {
    Workbook book = makeInputTemplate();
    dataSheet(book).clear(6, 5, 7, 7);
    EXPECT_EQ(dataSheet(book).formula(6, kE), "");
    Workbook fresh = makeInputTemplate();
    EXPECT_EQ(dataSheet(fresh).formula(6, kE), "=MAX(C6:C3006)");
    EXPECT_EQ(dataSheet(fresh).formula(8, kG), "=IF(C8=\"\",\"\",G7)");
}

TEST(InputTemplate, ReplacingAJobRestoresEveryShownDataCellAndNothingElse) {
    // A template that shows two more columns, H and I, as a new template may.
    Workbook shipped = makeInputTemplate();
    Workbook book = makeInputTemplate();
    for (Workbook* each : {&shipped, &book}) {
        SheetLayout& layout = dataSheet(*each).layout();
        layout.hiddenColumns = {{kE, kF}, {10, Worksheet::kColumnCount}};
        layout.columnWidths[8] = layout.columnWidths[9] = layout.columnWidths[kG];
    }
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 1, "K\tA\t1\t1\n\tB\t2\t2\n");
    paste(sheet, 6, kG, "2\tx\ty\n3\tx\ty\n");
    paste(sheet, 3010, 1, "\tZ\t9\t9\n");
    sheet.enter(1, 1, "title typed over");
    sheet.enter(9, 10, "hidden");
    const EditRecord cleared = restoreJobRows(sheet, dataSheet(shipped));

    for (int column = 1; column <= 9; ++column) {
        for (int row : {7, 3010}) {
            EXPECT_EQ(sheet.content(row, column), dataSheet(shipped).content(row, column))
                << cellName(row, column);
        }
    }
    EXPECT_EQ(sheet.content(6, 8), CellContent());
    EXPECT_EQ(sheet.value(6, kE), CellValue::number(0));
    // Above the data and in the hidden columns, what the surveyor typed stays.
    EXPECT_EQ(sheet.inputText(1, 1), "title typed over");
    EXPECT_EQ(sheet.inputText(9, 10), "hidden");

    sheet.undo(cleared);
    EXPECT_EQ(sheet.inputText(7, 9), "y");
    EXPECT_EQ(sheet.inputText(3010, 2), "Z");
}

} // namespace

#include "points/inputtemplate.h"
#include "spreadsheet/sheetnavigation.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

using namespace karumenio::spreadsheet;

namespace {

// The template with four points in rows 6 to 9, a gap, and one more in row 12.
Workbook sheetWithAGap() {
    Workbook book = karumenio::points::makeInputTemplate();
    Worksheet& sheet = book.sheet(0);
    sheet.enter(6, 1, "K");
    for (int row : {6, 7, 8, 9, 12}) {
        sheet.enter(row, 2, "P" + std::to_string(row));
        sheet.enter(row, 3, std::to_string(row * 10));
        sheet.enter(row, 4, std::to_string(row * 20));
    }
    return book;
}

struct EdgeCase {
    const char* what;
    CellPosition from;
    int rowStep;
    int columnStep;
    CellPosition expected;
};

TEST(SheetNavigation, CtrlArrowsGoToTheEdgeOfTheData) {
    const Workbook book = sheetWithAGap();
    const Worksheet& sheet = book.sheet(0);
    const EdgeCase cases[] = {
        {"down a block to its last cell", {6, 3}, 1, 0, {9, 3}},
        {"down from a block's end over the gap", {9, 3}, 1, 0, {12, 3}},
        {"down past the last cell to the sheet's edge", {12, 3}, 1, 0, {Worksheet::kRowCount, 3}},
        {"up over the gap", {12, 3}, -1, 0, {9, 3}},
        {"up from the first point to row 1", {6, 3}, -1, 0, {1, 3}},
        {"down the radius formulas, which count as filled", {6, 7}, 1, 0, {3006, 7}},
        {"right over the hidden extent columns", {6, 1}, 0, 1, {6, 7}},
        {"left back to A", {6, 7}, 0, -1, {6, 1}},
        {"right over the empty mark and class columns to the last shown one", {6, 7}, 0, 1, {6, 9}},
        {"right at the last shown column stays", {6, 9}, 0, 1, {6, 9}},
        {"right from an empty cell to the next filled one", {10, 1}, 0, 1, {10, 7}},
    };
    for (const EdgeCase& c : cases) {
        EXPECT_EQ(dataEdge(sheet, c.from, c.rowStep, c.columnStep), c.expected) << c.what;
    }
}

TEST(SheetNavigation, CtrlEndGoesToTheLastUsedRowAndColumn) {
    Workbook book = sheetWithAGap();
    Worksheet& sheet = book.sheet(0);
    // The radius chain reaches row 3006 whatever the points.
    EXPECT_EQ(lastUsedCell(sheet), (CellPosition{3006, 7}));
    sheet.enter(3010, 2, "beyond");
    EXPECT_EQ(lastUsedCell(sheet), (CellPosition{3010, 7}));
    EXPECT_EQ(lastUsedCell(Worksheet()), (CellPosition{1, 1}));
}

} // namespace

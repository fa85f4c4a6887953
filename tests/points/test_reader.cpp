#include "../spreadsheet/printers.h"
#include "points/inputtemplate.h"
#include "points/reader.h"
#include "sheetdata.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace karumenio::points;
using namespace karumenio::spreadsheet;
using karumenio::points::testing::dataSheet;
using karumenio::points::testing::numberedRows;
using karumenio::points::testing::readFixture;

namespace {

void expectSameTable(const PointTable& a, const PointTable& b) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        ASSERT_EQ(a.pointX.at(slot), b.pointX.at(slot)) << slot;
        ASSERT_EQ(a.pointY.at(slot), b.pointY.at(slot)) << slot;
        ASSERT_EQ(a.markRadius.at(slot), b.markRadius.at(slot)) << slot;
        ASSERT_EQ(a.breakMark.at(slot), b.breakMark.at(slot)) << slot;
        ASSERT_EQ(a.labelText.at(slot), b.labelText.at(slot)) << slot;
    }
    EXPECT_EQ(a.pointCount, b.pointCount);
    EXPECT_EQ(a.pointIndex.value(), b.pointIndex.value());
    EXPECT_EQ(a.radiusColumn, b.radiusColumn);
}

TEST(Reader, EmptyTemplateReadsNoPoints) {
    Workbook book = makeInputTemplate();
    PointTable table;
    table.pointX.at(0) = CellValue::number(42);
    int calls = 0;
    Worksheet& sheet = readPoints(book, table, [&](float, float, float) { ++calls; });
    EXPECT_EQ(&sheet, &dataSheet(book));
    EXPECT_EQ(table.pointCount, CellValue::number(0));
    EXPECT_EQ(table.pointIndex.value(), 0);
    EXPECT_EQ(table.radiusColumn, 7.0);
    EXPECT_EQ(table.pointX.at(0), CellValue::number(42)) << "slots are never cleared";
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(readMessage(table.count()), "座標読込完了　0　データ");
}

TEST(Reader, WorkedExampleFillsFiveColumnsAndReportsProgress) {
    Workbook book = makeInputTemplate();
    paste(dataSheet(book), 6, 1, readFixture("worked_example.tsv"));
    PointTable table;
    std::vector<std::tuple<float, float, float>> progress;
    readPoints(book, table, [&](float minimum, float maximum, float value) {
        progress.emplace_back(minimum, maximum, value);
    });
    EXPECT_EQ(table.pointCount, CellValue::number(12));
    EXPECT_EQ(table.pointIndex.value(), 12);
    EXPECT_EQ(table.pointX.at(1), CellValue::number(100));
    EXPECT_EQ(table.pointY.at(5), CellValue::number(-60));
    EXPECT_EQ(table.breakMark.at(0), CellValue::text("K"));
    EXPECT_TRUE(table.breakMark.at(1).isEmpty());
    EXPECT_EQ(table.labelText.at(11), CellValue::text("T7"));
    // Radii: rows 7-10 through the formulas (G6's 0), then the typed ones.
    const double radii[] = {0, 0, 0, 0, 0, 1, 2, 3, 4, 10, 2, 0};
    for (int slot = 0; slot < 12; ++slot) {
        EXPECT_EQ(table.markRadius.at(slot), CellValue::number(radii[slot])) << slot;
    }
    ASSERT_EQ(progress.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(progress[static_cast<std::size_t>(i)],
                  std::make_tuple(0.0f, 12.0f, static_cast<float>(i)));
    }
    EXPECT_EQ(readMessage(12), "座標読込完了　12　データ");
    EXPECT_EQ(kReadTitle, "座標の読込");
}

TEST(Reader, OnlyEmptyTextInColumnCEndsTheData) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    // Row 8 holds 0, row 9 a single blank, row 11 (a gap) empty text, row 12 data again.
    paste(sheet, 6, 1, "\tA\t1\t1\n\tB\t2\n\tC\t0\t3\n\tD\t \t4\n\tE\t5\t5\n");
    sheet.setValue(11, 3, CellValue::text(""));
    sheet.setValue(12, 3, CellValue::number(6));
    PointTable table;
    readPoints(book, table);
    EXPECT_EQ(table.count(), 5);
    EXPECT_TRUE(table.pointY.at(1).isEmpty()) << "column D empty gives an Empty point";
    EXPECT_EQ(table.pointX.at(2), CellValue::number(0));
    EXPECT_EQ(table.pointX.at(3), CellValue::text(" "));
    EXPECT_TRUE(table.pointX.at(5).isEmpty()) << "the row below the gap is not read";
}

TEST(Reader, RowsBelowTheGapAreCountedInTheMessage) {
    struct Case {
        const char* name;
        const char* rows;
        int rowsNotRead;
    };
    const Case cases[] = {
        {"nothing below", "\tA\t1\t1\n\tB\t2\t2\n", 0},
        {"two points below a gap", "\tA\t1\t1\n\n\tC\t3\t3\n\tD\t4\t4\n", 2},
        {"a name alone and a mark alone below", "\tA\t1\t1\n\n\n\tB\nK\n", 2},
        {"a radius alone below", "\tA\t1\t1\n\n\t\t\t\t3\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workbook book = makeInputTemplate();
        paste(dataSheet(book), 6, 1, c.rows);
        PointTable table;
        const Worksheet& sheet = readPoints(book, table);
        const ReadSummary summary = summarizeRead(sheet, table.count());
        EXPECT_EQ(summary.rowsNotRead, c.rowsNotRead);
        const std::string first = readMessage(table.count());
        if (c.rowsNotRead == 0) {
            EXPECT_EQ(summary.message(), first) << "the message of a whole read is unchanged";
            EXPECT_TRUE(summary.note().empty());
            continue;
        }
        ASSERT_TRUE(summary.message().starts_with(first + "\n")) << summary.message();
        const std::string note = summary.note();
        EXPECT_NE(note.find(std::to_string(6 + table.count()) + " 行目"), std::string::npos)
            << note;
        EXPECT_NE(note.find(std::to_string(c.rowsNotRead) + " 行は読み込んでいません"),
                  std::string::npos)
            << note;
    }
}

TEST(Reader, RadiusOfG6ReachesEveryPoint) {
    Workbook book = makeInputTemplate();
    paste(dataSheet(book), 6, 1, numberedRows(20));
    dataSheet(book).enter(6, 7, "2.5");
    PointTable table;
    readPoints(book, table);
    for (int slot = 0; slot < 20; ++slot) {
        EXPECT_EQ(table.markRadius.at(slot), CellValue::number(2.5)) << slot;
    }
}

TEST(Reader, ThreeThousandAndOnePointsAreReadCompletely) {
    Workbook book = makeInputTemplate();
    paste(dataSheet(book), 6, 1, numberedRows(kSlotCount, 10));
    PointTable table;
    readPoints(book, table);
    EXPECT_EQ(table.count(), 3001);
    EXPECT_EQ(table.pointIndex.value(), 3001);
    EXPECT_EQ(table.pointX.at(3000), CellValue::number(3010));
    EXPECT_EQ(table.labelText.at(3000), CellValue::text("P3001"));
    EXPECT_EQ(table.markRadius.at(3000), CellValue::number(0));
    EXPECT_EQ(readMessage(table.count()), "座標読込完了　3001　データ");
}

TEST(Reader, MoreRowsThanSlotsAreRefusedWithTheTableUntouched) {
    Workbook book = makeInputTemplate();
    paste(dataSheet(book), 6, 1, numberedRows(5));
    PointTable table;
    readPoints(book, table);
    const PointTable before = table;

    paste(dataSheet(book), 6, 1, numberedRows(kSlotCount + 1, 100));
    try {
        readPoints(book, table);
        ADD_FAILURE() << "3002 rows were read";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.error(), RunError::SubscriptOutOfRange);
        const std::string message = e.what();
        EXPECT_NE(message.find("3001"), std::string::npos) << message;
        EXPECT_NE(message.find("3002"), std::string::npos) << message;
        EXPECT_EQ(e.cell(), "C3007");
    }
    expectSameTable(table, before);
}

TEST(Reader, ShorterSecondReadLeavesTheOldSlotsAndRereadIsStable) {
    Workbook book = makeInputTemplate();
    paste(dataSheet(book), 6, 1, numberedRows(10));
    PointTable table;
    readPoints(book, table);

    dataSheet(book).clear(10, 1, 20, 4);
    readPoints(book, table);
    EXPECT_EQ(table.count(), 4);
    EXPECT_EQ(table.pointIndex.value(), 4);
    for (int slot = 4; slot < 10; ++slot) {
        EXPECT_EQ(table.pointX.at(slot), CellValue::number(slot)) << slot;
        EXPECT_EQ(table.labelText.at(slot), CellValue::text("P" + std::to_string(slot + 1)));
    }

    const PointTable first = table;
    readPoints(book, table);
    expectSameTable(table, first);
}

TEST(Reader, MissingSheetIsTheSubscriptErrorAndChangesNothing) {
    Workbook book;
    book.addSheet("Daten").enter(6, 3, "1");
    PointTable table;
    table.radiusColumn = 1.5;
    try {
        readPoints(book, table);
        ADD_FAILURE() << "no sheet, yet read";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), 9);
    }
    EXPECT_TRUE(table.pointCount.isEmpty());
    EXPECT_EQ(table.radiusColumn, 1.5);

    Workbook lower;
    lower.addSheet("sheet1").enter(6, 3, "1");
    readPoints(lower, table);
    EXPECT_EQ(table.count(), 1);
}

} // namespace

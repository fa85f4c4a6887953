#include "../points/sheetdata.h"
#include "points/inputtemplate.h"
#include "printers.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

using namespace karumenio::spreadsheet;
using namespace karumenio::points;
using karumenio::points::testing::dataSheet;
using karumenio::points::testing::readFixture;

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct SplitCase {
    const char* name;
    std::string text;
    Rows rows;
};

TEST(Paste, SplitsLinesAndFieldsAsSpreadsheetsWriteThem) {
    const SplitCase cases[] = {
        {"trailing CRLF adds no row", "a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
        {"last line without end", "a\tb\r\nc", {{"a", "b"}, {"c"}}},
        {"LF and CR line ends", "a\nb\rc\r\n", {{"a"}, {"b"}, {"c"}}},
        {"empty line inside", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"nothing", "", {}},
        {"empty fields kept", "\tK2\t\t0", {{"", "K2", "", "0"}}},
        {"commas without TAB", "K,K1,1.5,-2\n", {{"K", "K1", "1.5", "-2"}}},
        {"TAB wins over commas", "1,5\t2\n", {{"1,5", "2"}}},
        {"commas and TABs line by line", "a,b\nc\td,e\n", {{"a", "b"}, {"c", "d,e"}}},
        {"quoted quote", "\"a\"\"b\"\tc", {{"a\"b", "c"}}},
        {"quoted TAB and line end", "\"x\ty\"\t\"1\r\n2\"\r\nz", {{"x\ty", "1\r\n2"}, {"z"}}},
        {"quoted comma in a comma line", "\"1,5\",K\n", {{"1,5", "K"}}},
        {"quote inside a field is plain", "a\"b\tc", {{"a\"b", "c"}}},
        {"text after closing quote", "\"ab\"c\td", {{"abc", "d"}}},
        {"unclosed quote runs to the end", "\"ab\nc", {{"ab\nc"}}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitClipboardText(c.text), c.rows) << c.name;
    }
    // Fields past the ones kept are read over, quotes and all, without shifting the next row.
    EXPECT_EQ(splitClipboardText("a\tb\t\"c\nd\"\te\nf\tg\n", 2),
              (std::vector<std::vector<std::string>>{{"a", "b"}, {"f", "g"}}));
}

TEST(Paste, DecodesUtf8BomAndCodePage932) {
    EXPECT_EQ(decodeClipboard("K\t\xE6\xB8\xAC\xE7\x82\xB9"), "K\t測点");
    EXPECT_EQ(decodeClipboard("\xEF\xBB\xBF"
                              "K1"),
              "K1");
    EXPECT_EQ(decodeClipboard("K\t\x91\xAA\x93\x5F"
                              "1"),
              "K\t測点1");
    EXPECT_EQ(decodeClipboard("\x8B\xE6\x81\x40\x89\xE6"), "区　画");
}

TEST(Paste, FiveColumnsFillABCDAndGAroundTheHiddenExtents) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    const EditRecord record = paste(sheet, 6, 1, readFixture("worked_example.tsv"));

    EXPECT_EQ(sheet.value(6, 1), CellValue::text("K"));
    EXPECT_EQ(sheet.value(6, 2), CellValue::text("K1"));
    EXPECT_EQ(sheet.value(7, 3), CellValue::number(100));
    EXPECT_EQ(sheet.value(11, 4), CellValue::number(-60));
    EXPECT_TRUE(sheet.value(7, 1).isEmpty());
    // E6:F7 keep their formulas; four-field rows keep their radius formula.
    EXPECT_EQ(sheet.formula(6, 5), "=MAX(C6:C3006)");
    EXPECT_EQ(sheet.formula(7, 6), "=MIN(D6:D3006)");
    EXPECT_EQ(sheet.formula(9, 7), "=IF(C9=\"\",\"\",G8)");
    EXPECT_EQ(sheet.content(11, 7), CellContent::value(CellValue::number(1)));
    EXPECT_EQ(sheet.content(17, 7), CellContent::value(CellValue::number(0)));

    // 12 rows: 5 of four fields (G6 already 0, not counted) + 7 of five; empty A fields on
    // empty cells change nothing.
    EXPECT_EQ(record.size(), 3u + 12u * 3u + 7u);
    for (const CellChange& change : record) {
        EXPECT_NE(change.column, 5);
        EXPECT_NE(change.column, 6);
    }

    sheet.undo(record);
    EXPECT_EQ(sheet.formula(11, 7), "=IF(C11=\"\",\"\",G10)");
    EXPECT_TRUE(sheet.value(6, 3).isEmpty());
    EXPECT_EQ(sheet.value(6, 5), CellValue::number(0));
    sheet.redo(record);
    EXPECT_EQ(sheet.value(6, 5), CellValue::number(110));
}

TEST(Paste, FieldsBecomeNumbersTextOrNothing) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    sheet.enter(6, 4, "99");
    paste(sheet, 6, 1, "K\t001\t001\t\t 2.5 \nx\t12\t1E3\tabc\t=G6\n");
    EXPECT_EQ(sheet.value(6, 2), CellValue::text("001")) << "point names keep their text";
    EXPECT_EQ(sheet.value(6, 3), CellValue::number(1));
    EXPECT_TRUE(sheet.value(6, 4).isEmpty()) << "an empty field empties the cell";
    EXPECT_EQ(sheet.value(6, 7), CellValue::number(2.5));
    EXPECT_EQ(sheet.value(7, 2), CellValue::text("12"));
    EXPECT_EQ(sheet.value(7, 3), CellValue::number(1000));
    EXPECT_EQ(sheet.value(7, 4), CellValue::text("abc"));
    EXPECT_EQ(sheet.content(7, 7), CellContent::value(CellValue::text("=G6")))
        << "pasted values are never formulas";
}

TEST(Paste, CodePage932AndBomInputLandAsText) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 1, "\x8B\xE6\x81\x40\x89\xE6\t\x91\xAA\x93\x5F\t1\t2\r\n");
    EXPECT_EQ(sheet.value(6, 1), CellValue::text("区　画"));
    EXPECT_EQ(sheet.value(6, 2), CellValue::text("測点"));
    paste(sheet, 7, 1, "\xEF\xBB\xBFK\tK2\t3\t4\n");
    EXPECT_EQ(sheet.value(7, 1), CellValue::text("K"));
    EXPECT_EQ(sheet.value(7, 3), CellValue::number(3));
}

TEST(Paste, BytesInNoKnownEncodingAreRefused) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    try {
        paste(sheet, 6, 1, "K\t\x81\n1\t\xFF\xFE");
        ADD_FAILURE() << "garbage was pasted";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.error(), RunError::TypeMismatch);
        EXPECT_NE(std::string(e.what()).find("UTF-8"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(sheet.value(6, 1).isEmpty());
}

TEST(Paste, HiddenColumnsAreSkippedAndFieldsPastIDropped) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 3, "1\t2\t3\t4\t5\t6\n");
    EXPECT_EQ(sheet.value(6, 3), CellValue::number(1));
    EXPECT_EQ(sheet.value(6, 4), CellValue::number(2));
    EXPECT_EQ(sheet.value(6, 7), CellValue::number(3));
    EXPECT_EQ(sheet.value(6, 8), CellValue::number(4));
    EXPECT_EQ(sheet.value(6, 9), CellValue::number(5));
    EXPECT_EQ(sheet.formula(6, 5), "=MAX(C6:C3006)");
    EXPECT_TRUE(sheet.value(6, 10).isEmpty());
    EXPECT_EQ(sheet.lastUsedRow(), 3006);

    // A paste that starts in a hidden column starts at the next visible one.
    paste(sheet, 7, 5, "0.25\tmore\n");
    EXPECT_EQ(sheet.content(7, 7), CellContent::value(CellValue::number(0.25)));
    EXPECT_EQ(sheet.formula(7, 5), "=MIN(C6:C3006)");
}

TEST(Paste, RowsPastTheLastRowAreRefusedWhole) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    try {
        paste(sheet, 65535, 1, "a\nb\nc\n");
        ADD_FAILURE() << "paste past the last row was accepted";
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_EQ(e.cell(), "A65535");
    }
    EXPECT_TRUE(sheet.value(65535, 1).isEmpty());
    EXPECT_EQ(paste(sheet, 65535, 1, "a\nb\n").size(), 2u);
}

TEST(Paste, ThreeThousandRowsRecalculateToTheExpectedValues) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    // Every seventh row types its own radius; the rows between carry it down.
    std::string text;
    for (int i = 0; i < 3001; ++i) {
        text += "\tP" + std::to_string(i) + "\t" + std::to_string(i * 0.5) + "\t" +
                std::to_string(1000 - i);
        if (i % 7 == 3) {
            text += "\t" + std::to_string(i);
        }
        text += "\r\n";
    }
    paste(sheet, 6, 1, text);
    EXPECT_EQ(sheet.value(6, 5), CellValue::number(1500));
    EXPECT_EQ(sheet.value(7, 5), CellValue::number(0));
    EXPECT_EQ(sheet.value(6, 6), CellValue::number(1000));
    EXPECT_EQ(sheet.value(7, 6), CellValue::number(-2000));
    double radius = 0;
    for (int i = 0; i < 3001; ++i) {
        if (i % 7 == 3) {
            radius = i;
        }
        ASSERT_EQ(sheet.value(6 + i, 7), CellValue::number(radius)) << "row " << 6 + i;
    }

    // A paste that reaches beyond the template's rows still lands; its rows have no formulas.
    paste(sheet, 3000, 1, karumenio::points::testing::numberedRows(20, 5000));
    EXPECT_EQ(sheet.value(6, 5), CellValue::number(5006)) << "C3007.. lie outside the extent";
    EXPECT_TRUE(sheet.value(3010, 7).isEmpty());
}

TEST(Paste, CopiedTextPastesBackUnchanged) {
    Workbook book = makeInputTemplate();
    Worksheet& sheet = dataSheet(book);
    paste(sheet, 6, 1, readFixture("worked_example.tsv"));
    sheet.enter(8, 1, "a\tb \"c\"");
    const std::string copied = copyText(sheet, 6, 1, 7, 7);
    EXPECT_EQ(copied, "K\tK1\t0\t0\t0.0 \r\n\tK2\t100\t0\t0.0 \r\n");
    EXPECT_EQ(copyText(sheet, 8, 1, 8, 2), "\"a\tb \"\"c\"\"\"\tK3\r\n");

    Workbook other = makeInputTemplate();
    paste(dataSheet(other), 6, 1, copyText(sheet, 6, 1, 17, 7));
    for (int row = 6; row <= 17; ++row) {
        for (int column : {1, 2, 3, 4, 7}) {
            EXPECT_EQ(dataSheet(other).value(row, column), sheet.value(row, column))
                << cellName(row, column);
        }
    }
}

} // namespace

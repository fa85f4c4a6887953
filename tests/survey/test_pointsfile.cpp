// Points files into the worksheet: SIMA coordinates and parcels, CSV/TSV with a header and
// chosen columns, and files that are refused without changing the sheet.
#include "sheetrows.h"

#include "job/job.h"
#include "points/pointtable.h"
#include "spreadsheet/codepage.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <string>

using namespace karumenio;
using karumenio::survey::test::sheetRows;

namespace {

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string manyRows(int count) {
    std::string rows;
    for (int i = 1; i <= count; ++i) {
        rows += "\tP" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\r\n";
    }
    return rows;
}

struct OpenCase {
    const char* name;
    std::string fileName;
    std::string bytes;
    std::string rows;
    // Text every warning together must contain, in order of the list; empty: no warning.
    std::vector<std::string> warnings;
    survey::OpenOptions options = {};
};

class OpensIntoTheSheet : public testing::TestWithParam<OpenCase> {};

TEST_P(OpensIntoTheSheet, GivesTheRows) {
    const OpenCase& c = GetParam();
    job::Job job;
    const auto opened = job.openPointsFile(c.bytes, c.fileName, c.options);
    if (!c.rows.empty()) {
        EXPECT_EQ(sheetRows(job.sheet()), c.rows);
    } else {
        EXPECT_EQ(opened.rowCount, points::kSlotCount);
    }
    ASSERT_EQ(opened.warnings.size(), c.warnings.size());
    for (std::size_t i = 0; i < c.warnings.size(); ++i) {
        EXPECT_NE(opened.warnings[i].find(c.warnings[i]), std::string::npos) << opened.warnings[i];
    }
}

const std::string kSquare = "A00,\r\nA01,1,K1,0.000,0.000,,\r\nA01,2,K2,100.000,0.000,,\r\n"
                            "A01,3,K3,100.000,100.000,,\r\nA01,4,K4,0.000,100.000,,\r\n";

survey::OpenOptions withColumns(const char* columns,
                                survey::HeaderMode header = survey::HeaderMode::Auto) {
    survey::OpenOptions options;
    options.csv.columns = survey::ColumnMapping::parse(columns);
    options.csv.header = header;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Survey, OpensIntoTheSheet,
    testing::Values(
        OpenCase{"plain_coordinate_block",
                 "site.SIM",
                 "G00,01,site,\r\n" + kSquare + "A01,5,001,-23795.960,-32832.251,,\r\nA99,END\r\n",
                 "*|K1|0|0\n*|K2|100|0\n*|K3|100|100\n*|K4|0|100\n*|001|-23795.96|-32832.251\n",
                 {}},
        OpenCase{"parcels_by_number_and_by_name",
                 "",
                 "Z00,座標,\r\n" + kSquare +
                     "A01,5,T1,50,50,\r\nD00,12,669,1,\r\nB01,1,K1,\r\nB01,99,K2,\r\nB01,,K3,\r\n"
                     "D99,\r\nD00,13,,1,\r\nB01,3,x,\r\nB01,4,K4,\r\nD99,\r\nD00,,,1,\r\n"
                     "B01,2,,\r\nB01,3,,\r\nD99,\r\n",
                 "669|K1|0|0\n|K2|100|0\n|K3|100|100\n|K1|0|0\n"
                 "13|K3|100|100\n|K4|0|100\n|K3|100|100\n"
                 "*|K2|100|0\n|K3|100|100\n|K2|100|0\n*|T1|50|50\n",
                 {}},
        OpenCase{"unknown_point_and_other_records",
                 "a.txt",
                 kSquare + "C00,1,2,\r\nD00,1,P,1,\r\nB01,1,K1,\r\nB01,77,ZZ,\r\nB01,2,K2,\r\n"
                           "D99,\r\nE00,x,\r\n",
                 "P|K1|0|0\n|K2|100|0\n|K1|0|0\n*|K3|100|100\n*|K4|0|100\n",
                 {"9 行目: 測点「77 ZZ」", "2 件を読み飛ばしました (最初は 6 行目の「C00」"}},
        OpenCase{"missing_d99_closes_at_next_d00_and_at_the_end",
                 "",
                 kSquare + "D00,1,P,1,\r\nB01,1,K1,\r\nB01,2,K2,\r\nD00,2,Q,1,\r\nB01,3,K3,\r\n"
                           "B01,4,K4,\r\n",
                 "P|K1|0|0\n|K2|100|0\n|K1|0|0\nQ|K3|100|100\n|K4|0|100\n|K3|100|100\n",
                 {}},
        OpenCase{"padded_and_quoted_fields_lf_only",
                 "",
                 "A00,\nA01,   1 , \"No.1, 東\" ,  12.5  ,  -3.25 ,,\n"
                 "A01,2,\"say \"\"x\"\"\",1,2,\n D00 , 1 , \" a,b \" , 1 ,\nB01,  1  ,,\nB01,2,,\n"
                 "D99,\n",
                 " a,b |No.1, 東|12.5|-3.25\n|say \"x\"|1|2\n|No.1, 東|12.5|-3.25\n",
                 {}},
        OpenCase{
            "cp932_names_with_half_width_katakana",
            "",
            spreadsheet::toCp932("G00,01,ｹﾞﾝﾊﾞ,\r\nZ00,座標ﾃﾞｰﾀ,\r\nA00,\r\nA01,1,ｲ-1,1,2,,\r\n"
                                 "A01,2,測点ﾛ,3,4,,\r\nD00,1,区画ﾊ,1,\r\nB01,1,,\r\nB01,2,,\r\n"),
            "区画ﾊ|ｲ-1|1|2\n|測点ﾛ|3|4\n|ｲ-1|1|2\n",
            {}},
        OpenCase{"utf8_bom_and_csv_header_in_another_order",
                 "pts.csv",
                 "\xEF\xBB\xBFY,X,点名,区画\r\n2.5,1.5,P1,K\r\n4,3,P2,\r\n",
                 "K|P1|1.5|2.5\n|P2|3|4\n",
                 {},
                 withColumns("y,x,name,mark")},
        OpenCase{"columns_by_header_text",
                 "",
                 "番号\tY座標\tX座標\t点名\n1\t20\t10\tA\n2\t40\t30\tB\n",
                 "|A|10|20\n|B|30|40\n",
                 {},
                 withColumns("name=点名,x=X座標,y=y座標")},
        OpenCase{
            "header_detected_in_todays_order", "", "区画,測点名,X,Y\nK,P1,1,2\n", "K|P1|1|2\n", {}},
        OpenCase{"header_names_its_columns",
                 "pts.csv",
                 "点名,X座標,Y座標\nP1,10.5,20\nP2,30,40\n",
                 "|P1|10.5|20\n|P2|30|40\n",
                 {}},
        OpenCase{"header_of_the_template_headings",
                 "",
                 "区　画\t測点名\tX 座標\tY 座標\t\t\tPlot 半径\nK\tP1\t1\t2\t\t\t0.5\n",
                 "K|P1|1|2\n",
                 {}},
        OpenCase{"header_in_english_and_full_width",
                 "",
                 "Ｎｏ,ｎａｍｅ,Ｅａｓｔｉｎｇ,NORTHING,地番\n1,A,200,100,669\n",
                 "669|A|100|200\n",
                 {}},
        OpenCase{"header_found_by_its_names_alone", "", "北,東,,,測点\n1,2,,,P\n", "|P|1|2\n", {}},
        OpenCase{"first_field_a01_is_a_point_name",
                 "list.csv",
                 "A01,N1,1.5,2.5\n,N2,3,4\n",
                 "A01|N1|1.5|2.5\n|N2|3|4\n",
                 {}},
        OpenCase{"two_points_of_one_number_first_used",
                 "",
                 "A00,\nA01,1,P,1,2,\nA01,2,R,5,6,\nA01,1,Q,3,4,\nD00,1,L,1,\nB01,1,,\n"
                 "B01,2,,\nD99,\n",
                 "L|P|1|2\n|R|5|6\n|P|1|2\n*|Q|3|4\n",
                 {"4 行目: 点番号「1」は 2 行目と同じ"}},
        OpenCase{"many_missing_vertices_a_few_warnings_then_how_many_more",
                 "",
                 "A00,\nA01,1,P,1,2,\nD00,1,L,1,\n" + repeated("B01,9,,\n", 100) +
                     "B01,1,,\nD99,\n" + repeated("B01,1,,\n", 7) + repeated("C00,\n", 50),
                 "L|P|1|2\n",
                 {"4 行目: 測点「9」", "5 行目", "6 行目", "7 行目", "8 行目", "106 行目: 区画",
                  "107 行目", "108 行目", "109 行目", "110 行目",
                  "50 件を読み飛ばしました (最初は 113 行目", "…ほか 95 件の「座標のない頂点",
                  "…ほか 2 件の「区画の外"}},
        OpenCase{"names_and_marks_cut_at_256_characters",
                 "",
                 std::string(300, 'K') + "\t" + repeated("測", 257) + "\t1\t2\n\t" +
                     repeated("ｱ", 256) + "\t3\t4\n",
                 std::string(256, 'K') + "|" + repeated("測", 256) + "|1|2\n|" +
                     repeated("ｱ", 256) + "|3|4\n",
                 {"A6", "B6"}},
        OpenCase{"a_field_too_long_to_keep_is_no_number",
                 "",
                 "\tP\t" + std::string(5000, '1') + "\t2\n",
                 "|P|" + std::string(4095, '1') + "…|2\n",
                 {}},
        OpenCase{"blank_lines_at_the_end_make_no_rows",
                 "pts.tsv",
                 manyRows(3001) + repeated("\r\n", 20) + repeated("\t\t\t\n", 3),
                 "",
                 {}},
        OpenCase{"header_forced_off_keeps_the_first_line",
                 "",
                 "K,P1,x1,y1\n,P2,3,4\n",
                 "K|P1|x1|y1\n|P2|3|4\n",
                 {},
                 withColumns("mark,name,x,y", survey::HeaderMode::No)}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::string fileName;
    std::string bytes;
    spreadsheet::RunError error;
    const char* says;
    survey::OpenOptions options = {};
};

class RefusesAndKeepsTheSheet : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusesAndKeepsTheSheet, NamesTheLine) {
    const RefusedCase& c = GetParam();
    job::Job job;
    job.paste("K\tOLD\t1\t2\n");
    const std::string before = sheetRows(job.sheet());
    try {
        job.openPointsFile(c.bytes, c.fileName, c.options);
        FAIL() << "no error";
    } catch (const spreadsheet::RunTimeError& e) {
        EXPECT_EQ(e.error(), c.error);
        EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
    EXPECT_EQ(sheetRows(job.sheet()), before);
}

std::string simaPoints(int count) {
    std::string text = "A00,\r\n";
    for (int i = 1; i <= count; ++i) {
        text += "A01," + std::to_string(i) + ",P" + std::to_string(i) + ",1,2,,\r\n";
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Survey, RefusesAndKeepsTheSheet,
    testing::Values(
        RefusedCase{"sima_with_3002_points", "", simaPoints(3002),
                    spreadsheet::RunError::SubscriptOutOfRange, "3001"},
        RefusedCase{"sima_coordinate_not_a_number", "", "A00,\nA01,1,P,1.0,2.0,\nA01,2,Q,abc,2,\n",
                    spreadsheet::RunError::TypeMismatch, "3 行目"},
        RefusedCase{"quoted_decimal_comma", "", "P1,\"1234,567\",\"10,5\"\n",
                    spreadsheet::RunError::TypeMismatch, "1 行目", withColumns("name,x,y")},
        RefusedCase{"decimal_comma_splits_a_line_under_its_header", "",
                    "name,x,y\nP1,1.5,2.5\nP2,1234,567,2345,678\n",
                    spreadsheet::RunError::TypeMismatch, "3 行目", withColumns("name,x,y")},
        RefusedCase{"sima_parcel_of_3002_references", "",
                    "A00,\nA01,1,P,1,2,\nD00,1,L,1,\n" + repeated("B01,1,,\n", 3002),
                    spreadsheet::RunError::SubscriptOutOfRange, " 3002 行"},
        RefusedCase{"sima_points_past_the_sheet_counted_at_least", "", simaPoints(5000),
                    spreadsheet::RunError::SubscriptOutOfRange, "少なくとも 5000 行"},
        RefusedCase{"a_blank_line_among_3001_rows_is_a_row", "",
                    manyRows(1500) + "\n" + manyRows(1501),
                    spreadsheet::RunError::SubscriptOutOfRange, "3002 行"},
        RefusedCase{"header_without_a_name_column", "", "No,X,Y\n1,2,3\n",
                    spreadsheet::RunError::TypeMismatch, "1 行目: 見出し行の列 「No」「X」「Y」"},
        RefusedCase{"header_of_unknown_names", "", "a\tb\tc\td\n1\t2\t3\t4\n",
                    spreadsheet::RunError::TypeMismatch, "「a」「b」「c」「d」"},
        RefusedCase{"header_naming_x_twice", "", "点名,X,北,Y\nP,1,2,3\n",
                    spreadsheet::RunError::TypeMismatch, "「X」と「北」がどちらも"},
        RefusedCase{"columns_past_the_file", "", "P,1,2\nQ,3,4,\n",
                    spreadsheet::RunError::TypeMismatch, "x の 7 列目はファイルにありません",
                    withColumns("name=1,x=7,y=8")},
        RefusedCase{"columns_by_header_text_on_one_column", "", "点名,X,Y\nP,1,2\n",
                    spreadsheet::RunError::TypeMismatch, "同じ 1 列目",
                    withColumns("name=点名,x=点名,y=Y")},
        RefusedCase{"neither_utf8_nor_cp932", "", "A00,\n\x81\n\xFF\xFE",
                    spreadsheet::RunError::TypeMismatch, "文字コード"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PointsFile, SimaLeavesTheRadiusChainAndClearsOldRowsBelow) {
    job::Job job;
    job.paste("K\tA\t1\t1\n\tB\t2\t2\n\tC\t3\t3\n\tD\t4\t4\n\tE\t5\t5\n\tF\t6\t6\n");
    job::Settings settings;
    settings.defaultRadius = 2.5;
    job.setSettings(settings);
    job.openPointsFile(kSquare, "x.sim");
    EXPECT_EQ(job.read(), 4);
    EXPECT_TRUE(job.sheet().content(7, points::kMarkRadiusColumn).isFormula());
    EXPECT_EQ(job.table().markRadius.at(3).toNumber(), 2.5);
    EXPECT_TRUE(job.sheet().value(10, 2).isEmpty());
}

TEST(PointsFile, ColumnListsThatCannotBeRead) {
    for (const char* columns :
         {"name,x", "name,x,y,q", "x,y,x", "x=0,y", "name=3,x=3,y=4", "name,x,y,r=2"}) {
        EXPECT_THROW(survey::ColumnMapping::parse(columns), spreadsheet::RunTimeError) << columns;
    }
}

} // namespace

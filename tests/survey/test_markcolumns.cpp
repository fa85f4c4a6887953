// The boundary mark (境界標) and the class (種別) of each point: from a CSV header, the sixth and
// seventh fields of a row, or a table of marks opened over a SIMA file; through the worksheet,
// undo and Delete into the read table and the plan.
#include "job/job.h"
#include "points/inputtemplate.h"
#include "points/pointtable.h"
#include "points/templaterestore.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace karumenio;

namespace {

// Rows 6 down to the first empty C as "name|mark|class" lines.
std::string marksOnSheet(const spreadsheet::Worksheet& sheet) {
    std::string rows;
    for (int row = points::kFirstDataRow; !sheet.value(row, points::kPointXColumn).isEmpty();
         ++row) {
        rows += sheet.value(row, points::kLabelTextColumn).joinForm() + "|" +
                sheet.value(row, points::kBoundaryMarkColumn).joinForm() + "|" +
                sheet.value(row, points::kPointClassColumn).joinForm() + "\n";
    }
    return rows;
}

struct File {
    std::string name;
    std::string bytes;
};

struct MarksCase {
    const char* name;
    // Opened one after the other.
    std::vector<File> files;
    std::string rows;
    // Text each warning of the last file contains, in order; empty: none.
    std::vector<std::string> warnings;
};

class MarksIntoTheSheet : public testing::TestWithParam<MarksCase> {};

TEST_P(MarksIntoTheSheet, GivesEachPointItsMarkAndClass) {
    const MarksCase& c = GetParam();
    job::Job job;
    survey::OpenedFile opened;
    for (const File& file : c.files) {
        opened = job.openPointsFile(file.bytes, file.name);
    }
    EXPECT_EQ(marksOnSheet(job.sheet()), c.rows);
    ASSERT_EQ(opened.warnings.size(), c.warnings.size());
    for (std::size_t i = 0; i < c.warnings.size(); ++i) {
        EXPECT_NE(opened.warnings[i].find(c.warnings[i]), std::string::npos) << opened.warnings[i];
    }
}

const std::string kSima = "A00,\r\nA01,1,K1,0,0,\r\nA01,2,K2,10,0,\r\nA01,3,K3,10,10,\r\n"
                          "A01,4,S1,5,20,\r\nD00,1,669,1,\r\nB01,1,,\r\nB01,2,,\r\nB01,3,,\r\n"
                          "D99,\r\n";

INSTANTIATE_TEST_SUITE_P(
    Survey, MarksIntoTheSheet,
    testing::Values(MarksCase{"csv_header_in_any_order_and_either_width",
                              {{"pts.csv", "種別,Ｘ座標,点名,Ｙ 座標,境界標\n引照点,1,S1,2,金属鋲\n"
                                           ",3,P1,4,コンクリート杭\n"}},
                              "S1|金属鋲|引照点\nP1|コンクリート杭|\n",
                              {}},
                    MarksCase{"other_header_names",
                              {{"pts.txt", "測点\tX\tY\t杭種\t点種\nP1\t1\t2\t木杭\t筆界点\n"},
                               {"pts2.csv", "標識,測点名,北,東\n刻印,P2,3,4\n"}},
                              "P2|刻印|\n",
                              {}},
                    MarksCase{
                        "tsv_sixth_and_seventh_fields",
                        {{"pts.tsv",
                          "K\tP1\t0\t0\t\t石杭\n\tS1\t5\t5\t0.5\t金属標\t引照点\n\tP2\t9\t9\n"}},
                        "P1|石杭|\nS1|金属標|引照点\nP2||\n",
                        {}},
                    MarksCase{"sima_then_a_table_of_marks_by_point_name",
                              {{"site.sim", kSima},
                               {"marks.csv", "点名,境界標,種別\nK1,石杭,\nK3,金属標\nS1,,引照点\n"
                                             "K9,木杭,\nK1,刻印,\n"}},
                              "K1|石杭|\nK2||\nK3|金属標|\nK1|石杭|\nS1||引照点\n",
                              {"6 行目の点名「K1」は前の行にも",
                               "5 行目の点名「K9」はワークシートの座標にない"}},
                    MarksCase{"a_table_of_classes_keeps_the_marks",
                              {{"pts.tsv", "K\tK1\t0\t0\t\t石杭\n\tS1\t5\t5\t\t金属標\n"},
                               {"classes.tsv", "点名\t種別\nS1\t引照点\n"}},
                              "K1|石杭|\nS1|金属標|引照点\n",
                              {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarkColumns, ATableOfMarksNeedsPointsOnTheSheet) {
    job::Job job;
    try {
        job.openPointsFile("点名,境界標\nK1,石杭\n", "marks.csv");
        FAIL() << "no error";
    } catch (const spreadsheet::RunTimeError& e) {
        EXPECT_EQ(e.error(), spreadsheet::RunError::TypeMismatch);
        EXPECT_NE(std::string(e.what()).find("座標がワークシートにありません"), std::string::npos);
    }
    EXPECT_EQ(marksOnSheet(job.sheet()), "");
}

TEST(MarkColumns, KeptThroughPasteUndoDeleteReadAndPlan) {
    job::Job job;
    const spreadsheet::EditRecord old = job.paste("K\tP1\t0\t0\t\t木杭\n\tP2\t1\t0\n");
    const spreadsheet::EditRecord pasted =
        job.paste("K\tP1\t0\t0\t\t石杭\t\n\tS1\t5\t5\t\t 鉄杭　\t引照点\n\tP2\t1\t0\t\t\tS\n");
    EXPECT_EQ(marksOnSheet(job.sheet()), "P1|石杭|\nS1| 鉄杭　|引照点\nP2||S\n");
    job.sheet().undo(pasted);
    EXPECT_EQ(marksOnSheet(job.sheet()), "P1|木杭|\nP2||\n");
    job.sheet().apply(pasted);

    ASSERT_EQ(job.read(), 3);
    EXPECT_EQ(job.table().boundaryMark.at(0).textValue(), "石杭");
    EXPECT_EQ(job.table().pointClass.at(1).textValue(), "引照点");
    const plan::Plan plan = job.plan();
    struct Expected {
        const char* markText;
        const points::MarkKind* kind;
        const char* classText;
        points::PointClassId id;
    };
    // A kind not of the list is kept as written; a class not of the list is a boundary point.
    const Expected expected[] = {
        {"石杭", points::findMarkKind("石杭"), "", points::PointClassId::Boundary},
        {"鉄杭", nullptr, "引照点", points::PointClassId::Reference},
        {"", nullptr, "S", points::PointClassId::Boundary},
    };
    ASSERT_EQ(plan.points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plan.points[i].markText, expected[i].markText) << i;
        EXPECT_EQ(plan.points[i].markKind, expected[i].kind) << i;
        EXPECT_EQ(plan.points[i].classText, expected[i].classText) << i;
        EXPECT_EQ(plan.points[i].pointClass, expected[i].id) << i;
    }
    EXPECT_NE(plan.points[0].markKind, nullptr);

    // Delete over the two columns takes them back to the template's empty cells.
    spreadsheet::Workbook original = points::makeInputTemplate();
    points::restoreTemplateCells(job.sheet(), original.worksheets("Sheet1"), 6,
                                 points::kBoundaryMarkColumn, 8, points::kPointClassColumn);
    EXPECT_EQ(marksOnSheet(job.sheet()), "P1||\nS1||\nP2||\n");
}

} // namespace

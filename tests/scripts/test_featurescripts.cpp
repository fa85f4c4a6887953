#include "testsupport.h"

#include "plan/extent.h"
#include "plan/plan.h"
#include "plan/settings.h"
#include "scripts/featurescripts.h"
#include "scripts/scriptfile.h"
#include "scripts/textforms.h"

#include "spreadsheet/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace karumenio;
using namespace karumenio::scripts::test;

namespace {

// Writes one script from the plan of the table and leaves the table as a completed run does;
// the plan made is kept in *made when asked for.
std::string script(void (*writer)(scripts::ScriptFile&, const plan::Plan&),
                   points::PointTable& table, const char* angle = "0.0000",
                   plan::Plan* made = nullptr) {
    plan::Settings settings;
    settings.angle = plan::RotationAngle(angle);
    plan::Plan plan = plan::computePlan(table, plan::Extent{}, settings);
    scripts::ScriptFile file;
    writer(file, plan);
    plan::applyPlan(plan, table);
    if (made != nullptr) {
        *made = std::move(plan);
    }
    return file.text();
}

std::string lineScript(points::PointTable& table) {
    return script(scripts::writeLineScript, table);
}

std::string plotScript(points::PointTable& table) {
    return script(scripts::writePlotScript, table);
}

std::string textScript(points::PointTable& table, const char* angle = "0.0000") {
    return script(scripts::writeTextScript, table, angle);
}

struct BreakCase {
    const char* name;
    std::vector<CellValue> marks;
    std::vector<std::string> pointLines;
};

TEST(FeatureScripts, BreakMarks) {
    const BreakCase cases[] = {
        {"mark on slot 0 has no effect", {txt("K"), {}, {}}, {"1,1", "2,2", "3,3"}},
        {"mark on slot 1 leaves slot 0 alone", {{}, txt("K"), {}}, {"1,1", "  2,2", "3,3"}},
        {"consecutive marks", {{}, txt("K"), txt("K")}, {"1,1", "  2,2", "  3,3"}},
        {"number 0 is a mark", {{}, num(0), {}}, {"1,1", "  2,2", "3,3"}},
        {"a single blank is a mark", {{}, {}, txt(" ")}, {"1,1", "2,2", "  3,3"}},
        {"empty text is no mark", {{}, txt(""), {}}, {"1,1", "2,2", "3,3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        points::PointTable table;
        std::vector<PointRow> rows;
        for (int i = 0; i < 3; ++i) {
            rows.push_back({c.marks[static_cast<std::size_t>(i)], {}, num(i + 1), num(i + 1), {}});
        }
        fillTable(table, rows);
        const auto got = lines(lineScript(table));
        ASSERT_EQ(got.size(), 13u);
        EXPECT_EQ(std::vector<std::string>(got.begin() + 5, got.begin() + 8), c.pointLines);
        EXPECT_EQ(got[8], "");
    }
}

TEST(FeatureScripts, OnePointGivesElevenLinesAndOneLabel) {
    points::PointTable table;
    fillTable(table, {{txt("K"), txt("P"), num(5), num(6), num(1)}});
    EXPECT_EQ(lines(lineScript(table)).size(), 11u);
    EXPECT_EQ(lines(plotScript(table)).size(), 11u);
    EXPECT_EQ(lines(textScript(table)).size(), 12u);
}

TEST(FeatureScripts, CircleTestAndRadiusForms) {
    points::PointTable table;
    fillTable(table, {
                         {{}, {}, num(1), num(1), num(-2)},
                         {{}, {}, num(2), num(2), num(0)},
                         {{}, {}, num(3), num(3), {}},
                         {{}, {}, num(4), num(4), txt("2.50")},
                         {{}, {}, num(5), num(5), txt("0")},
                         {{}, {}, num(6), num(6), num(0.25)},
                     });
    const auto got = lines(plotScript(table));
    EXPECT_EQ(std::vector<std::string>(got.begin() + 4, got.end() - 4),
              (std::vector<std::string>{"CIRCLE", "1,1", "-2", "CIRCLE", "4,4", "2.5", "CIRCLE",
                                        "6,6", ".25"}));
}

TEST(FeatureScripts, LabelAngleAndLabelPoints) {
    // The label angle is 90° less the rotation, in the scripts' mirrored system; each label
    // stands the label offset from its point along it.
    struct Case {
        const char* angle;
        const char* angleLine;
        double labelDegrees;
    };
    const Case cases[] = {
        {"30.3000", "59.5", 59.5},
        {"-12.1500", "102.25", 102.25},
        {"0.0000", "90", 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        points::PointTable table;
        fillTable(table,
                  {{{}, txt("P"), num(100), num(200), {}}, {{}, txt("Q"), txt("10"), {}, {}}});
        plan::Plan plan;
        const auto got = lines(script(scripts::writeTextScript, table, c.angle, &plan));
        ASSERT_EQ(got.size(), 16u);
        EXPECT_EQ(got[6], c.angleLine);
        EXPECT_EQ(got[10], c.angleLine);
        EXPECT_EQ(scripts::plainForm(spreadsheet::CellValue::number(plan.labelAngle)), c.angleLine);
        const double radians = c.labelDegrees * std::numbers::pi / 180;
        const double dx = plan::kLabelOffset * std::cos(radians);
        const double dy = plan::kLabelOffset * std::sin(radians);
        EXPECT_NEAR(table.labelX.at(0).numberValue(), 100 + dx, 1e-11);
        EXPECT_NEAR(table.labelY.at(0).numberValue(), 200 + dy, 1e-11);
        EXPECT_NEAR(table.labelX.at(1).numberValue(), 10 + dx, 1e-11);
        EXPECT_NEAR(table.labelY.at(1).numberValue(), 0 + dy, 1e-11);
        EXPECT_EQ(got[5], scripts::coordinateForm(table.labelX.at(0)) + "," +
                              scripts::coordinateForm(table.labelY.at(0)));
    }
}

TEST(FeatureScripts, LabelTexts) {
    points::PointTable table;
    fillTable(table, {
                         {{}, txt("  K1  "), num(100), num(200), {}},
                         {{}, txt("\u3000測点\u3000"), num(0), num(0), {}},
                         {{}, {}, num(0), num(0), {}},
                         {{}, num(0.5), num(0), num(0), {}},
                     });
    const auto got = lines(textScript(table));
    EXPECT_EQ(got[7], "K1");
    EXPECT_EQ(got[11], "\u3000測点\u3000");
    EXPECT_EQ(got[15], "");
    EXPECT_EQ(got[19], "0.5");
}

TEST(FeatureScripts, ACoordinateOrRadiusThatIsNoNumberNamesItsCell) {
    struct Case {
        const char* name;
        int slot;
        int column; // 0 x, 1 y, 2 radius
        CellValue value;
        const char* cell;
    };
    const Case cases[] = {
        {"first coordinate", 6, 0, txt("abc"), "C12"},
        {"second coordinate", 0, 1, txt("1,5"), "D6"},
        {"radius", 2, 2, txt("abc"), "G8"},
        {"radius of empty text", 7, 2, txt(""), "G13"},
        {"spreadsheet error", 3, 0, CellValue::error("#N/A"), "C9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        points::PointTable table;
        std::vector<PointRow> rows(8, PointRow{{}, {}, num(1), num(1), {}});
        fillTable(table, rows);
        points::SlotArray* column[] = {&table.pointX, &table.pointY, &table.markRadius};
        column[c.column]->at(c.slot) = c.value;
        try {
            lineScript(table);
            plotScript(table);
            ADD_FAILURE() << "no error";
        } catch (const spreadsheet::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_EQ(e.cell(), c.cell);
            EXPECT_NE(std::string(e.what()).find(c.cell), std::string::npos);
        }
    }
}

} // namespace

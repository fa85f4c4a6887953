#include "testsupport.h"

#include "plan/drawingscale.h"
#include "plan/papersize.h"
#include "plan/plan.h"
#include "plan/settings.h"
#include "plan/writestate.h"
#include "scripts/scriptfile.h"
#include "scripts/zuwaku.h"

#include "points/runtimeerror.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace karumenio;
using namespace karumenio::scripts::test;

namespace {

// Settings with the paper and scale of these tokens; nullptr is a list without a valid
// selection.
plan::Settings settingsOf(const char* paper, const char* scale) {
    plan::Settings settings;
    settings.paper = paper != nullptr ? plan::findPaper(paper) : nullptr;
    settings.scale = scale != nullptr ? plan::findScale(scale) : nullptr;
    return settings;
}

// The frame lines of a plan of the sheet; the state is left as a completed run leaves it.
std::vector<std::string> frameLines(const points::Worksheet& sheet, plan::WriteState& state,
                                    const plan::Settings& settings = {}) {
    const points::PointTable table;
    const plan::Plan plan = plan::computePlan(table, sheet, settings, state);
    scripts::ScriptFile file;
    scripts::ZUWAKU(file, plan);
    state = plan.stateAfter;
    return lines(file.text());
}

// Runs the frame for the example sheet of the guidance window unless told otherwise.
std::vector<std::string> frameLines(plan::WriteState& state, const char* paper = "A1",
                                    const char* scale = "100", double maxX = 110, double minX = -50,
                                    double maxY = 150, double minY = -60) {
    points::Worksheet sheet;
    setExtent(sheet, num(maxX), num(minX), num(maxY), num(minY));
    return frameLines(sheet, state, settingsOf(paper, scale));
}

std::vector<std::string> frameLines(const char* paper = "A1", const char* scale = "100",
                                    double maxX = 110, double minX = -50, double maxY = 150,
                                    double minY = -60) {
    plan::WriteState state;
    return frameLines(state, paper, scale, maxX, minX, maxY, minY);
}

std::pair<double, double> point(const std::string& line) {
    const auto comma = line.find(',');
    return {std::strtod(line.substr(0, comma).c_str(), nullptr),
            std::strtod(line.substr(comma + 1).c_str(), nullptr)};
}

TEST(Zuwaku, A1At1To100OnTheExampleSheet) {
    EXPECT_EQ(frameLines(), (std::vector<std::string>{
                                "-LAYER M P_WAKU C 7  ",
                                "UCS W",
                                "RECTANG",
                                "-296.999799213155,-420.500141844352",
                                "296.999799213155,420.500141844353",
                                "RECTANG",
                                "-281.999799210041,-405.500141841239",
                                "281.999799210041,405.500141841239",
                                "RECTANG",
                                "-261.999799215318,-385.500141846515",
                                "261.999799215317,385.500141846515",
                                "ROTATE ALL  0,0 90",
                                "SCALE ALL  0,0 .1",
                                "UCS R U1",
                                "MOVE ALL  0,0",
                                "30,45",
                            }));
}

struct PaperCase {
    const char* paper;
    double x;
    double y;
};

TEST(Zuwaku, OuterCornersOfEveryPaperSize) {
    const PaperCase cases[] = {
        {"A1", 296.999799, 420.500142},  {"A2", 210.000227, 296.999839},
        {"A3", 148.500241, 209.999830},  {"A4L", 105.000114, 148.499920},
        {"A4P", 148.499920, 105.000114}, {"B4L", 128.500370, 181.999739},
        {"B4P", 181.999739, 128.500370},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.paper);
        const auto frame = frameLines(c.paper);
        const auto first = point(frame[3]);
        const auto second = point(frame[4]);
        EXPECT_NEAR(first.first, -c.x, 5e-7);
        EXPECT_NEAR(first.second, -c.y, 5e-7);
        EXPECT_NEAR(second.first, c.x, 5e-7);
        EXPECT_NEAR(second.second, c.y, 5e-7);
        // The borders lie 15 and 35 mm inside the sheet edge on each axis.
        EXPECT_NEAR(point(frame[6]).first - first.first, 15, 1e-8);
        EXPECT_NEAR(second.second - point(frame[10]).second, 35, 1e-8);
    }
}

struct CentreCase {
    const char* name;
    double maxX, minX, maxY, minY;
    const char* centre;
};

TEST(Zuwaku, CentreOfTheExtentIncludingDegenerateOnes) {
    const CentreCase cases[] = {
        {"ordinary", 200, 100, 1300, 1000, "150,1150"},
        {"one first coordinate", 200, 200, 1300, 1000, "200,1150"},
        {"one second coordinate", 200, 100, 1300, 1300, "150,1300"},
        {"single point", 150, 150, 1200, 1200, "150,1200"},
        {"empty worksheet", 0, 0, 0, 0, "0,0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(frameLines("A1", "100", c.maxX, c.minX, c.maxY, c.minY).back(), c.centre);
    }
}

TEST(Zuwaku, ZeroGuardsAndDirectionOfDegenerateDiagonals) {
    plan::WriteState state;
    frameLines(state, "A1", "100", 200, 200, 1300, 1000);
    EXPECT_EQ(state.frame.diagonalDX, 1E-19);
    EXPECT_NEAR(state.frame.diagonalDirection * 57.29577951308232, 270, 1e-12);
    frameLines(state, "A1", "100", 150, 150, 1200, 1200);
    EXPECT_EQ(state.frame.halfDiagonal, 0);
    EXPECT_NEAR(state.frame.diagonalDirection * 57.29577951308232, 45, 1e-12);
}

TEST(Zuwaku, ScaleLineForEveryScale) {
    const std::pair<const char*, const char*> scales[] = {
        {"100", ".1"}, {"200", ".2"}, {"250", ".25"}, {"300", ".3"}, {"400", ".4"},
        {"500", ".5"}, {"1000", "1"}, {"2000", "2"},  {"3000", "3"}, {"5000", "5"}};
    for (const auto& [token, text] : scales) {
        SCOPED_TRACE(token);
        EXPECT_EQ(frameLines("A1", token)[12], std::string("SCALE ALL  0,0 ") + text);
    }
}

TEST(Zuwaku, AListWithoutSelectionKeepsThePreviousRunsValues) {
    // Before any run the paper values and the factor count as 0.
    plan::WriteState fresh;
    const auto zero = frameLines(fresh, nullptr, nullptr);
    EXPECT_EQ(zero[3], "0,0");
    EXPECT_EQ(zero[4], "0,0");
    EXPECT_NEAR(point(zero[6]).first, 15, 1e-8);
    EXPECT_NEAR(point(zero[7]).second, -15, 1e-8);
    EXPECT_NEAR(point(zero[9]).first, 35, 1e-8);
    EXPECT_NEAR(point(zero[10]).second, -35, 1e-8);
    EXPECT_EQ(zero[12], "SCALE ALL  0,0 0");

    plan::WriteState state;
    const auto a3 = frameLines(state, "A3", "2000");
    const auto kept = frameLines(state, nullptr, nullptr);
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.begin() + 13),
              std::vector<std::string>(a3.begin(), a3.begin() + 13));
    EXPECT_EQ(kept[12], "SCALE ALL  0,0 2");
}

TEST(Zuwaku, ExtentCellsThatAreTextNumbersOrEmptyTakePart) {
    points::Worksheet sheet;
    setExtent(sheet, txt("200"), {}, txt(" 1300 "), num(1000));
    plan::WriteState state;
    EXPECT_EQ(frameLines(sheet, state).back(), "100,1150");
}

TEST(Zuwaku, AnExtentCellWithTextNamesTheCellAndWritesNothing) {
    struct Case {
        int row, column;
        const char* cell;
    };
    for (const Case c : {Case{6, 5, "E6"}, Case{7, 5, "E7"}, Case{6, 6, "F6"}, Case{7, 6, "F7"}}) {
        SCOPED_TRACE(c.cell);
        points::Worksheet sheet;
        setExtent(sheet, num(1), num(0), num(1), num(0));
        sheet.setValue(c.row, c.column, txt("最大"));
        plan::WriteState state;
        const plan::WriteState before = state;
        try {
            frameLines(sheet, state);
            ADD_FAILURE() << "no error";
        } catch (const points::RunTimeError& e) {
            EXPECT_EQ(e.number(), 13);
            EXPECT_EQ(e.cell(), c.cell);
            EXPECT_NE(std::string(e.what()).find(c.cell), std::string::npos);
        }
        EXPECT_EQ(state.scaleFactor, before.scaleFactor);
    }
}

} // namespace

#include "testsupport.h"

#include "plan/drawingscale.h"
#include "plan/extent.h"
#include "plan/papersize.h"
#include "plan/plan.h"
#include "plan/settings.h"
#include "scripts/scriptfile.h"
#include "scripts/zuwaku.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace karumenio;
using namespace karumenio::scripts::test;

namespace {

// The plan of no points with the frame of this paper, scale and extent: the example sheet of
// the guidance window unless told otherwise.
plan::Plan framePlan(const char* paper = "A1", const char* scale = "100", double maxX = 110,
                     double minX = -50, double maxY = 150, double minY = -60) {
    plan::Settings settings;
    settings.paper = plan::findPaper(paper);
    settings.scale = plan::findScale(scale);
    EXPECT_NE(settings.paper, nullptr);
    EXPECT_NE(settings.scale, nullptr);
    return plan::computePlan(points::PointTable(), plan::Extent{maxX, minX, maxY, minY}, settings);
}

std::vector<std::string> frameLines(const char* paper = "A1", const char* scale = "100",
                                    double maxX = 110, double minX = -50, double maxY = 150,
                                    double minY = -60) {
    scripts::ScriptFile file;
    scripts::ZUWAKU(file, framePlan(paper, scale, maxX, minX, maxY, minY));
    return lines(file.text());
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
    const plan::FrameValues oneX = framePlan("A1", "100", 200, 200, 1300, 1000).frame;
    EXPECT_EQ(oneX.diagonalDX, 1E-19);
    EXPECT_NEAR(oneX.diagonalDirection * 57.29577951308232, 270, 1e-12);
    const plan::FrameValues onePoint = framePlan("A1", "100", 150, 150, 1200, 1200).frame;
    EXPECT_EQ(onePoint.halfDiagonal, 0);
    EXPECT_NEAR(onePoint.diagonalDirection * 57.29577951308232, 45, 1e-12);
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

} // namespace

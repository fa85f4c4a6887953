#include "job/job.h"
#include "plan/drawingscale.h"
#include "plan/fitcheck.h"
#include "plan/papersize.h"
#include "plan/plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <set>
#include <sstream>

using namespace karumenio;
using plan::WorldPoint;

namespace {

std::string workedExample() {
    std::ifstream in(std::string(KARUMENIO_TEST_DATA) + "/worked_example.tsv", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

plan::Plan planOf(const std::string& rows, const char* angle) {
    job::Job job;
    job.paste(rows);
    job.read();
    job::Settings settings;
    settings.angle = plan::RotationAngle(angle);
    job.setSettings(settings);
    return job.plan();
}

void expectNear(WorldPoint got, WorldPoint want, double tolerance = 1e-9) {
    EXPECT_NEAR(got.x, want.x, tolerance);
    EXPECT_NEAR(got.y, want.y, tolerance);
}

// Lower-left and upper-right corners of a frame rectangle.
std::pair<WorldPoint, WorldPoint> bounds(const plan::Polyline& rectangle) {
    WorldPoint low{INFINITY, INFINITY};
    WorldPoint high{-INFINITY, -INFINITY};
    for (const WorldPoint& p : rectangle.vertices) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    return {low, high};
}

// Hand-derived world positions of the worked example (extent X −50…110, Y −60…150, A1 at
// 1:100): survey (x, y) lands at (x sin θ + y cos θ, x cos θ − y sin θ).
struct AngleCase {
    const char* angle;
    WorldPoint k2;     // survey (100, 0)
    WorldPoint t1;     // survey (60, −60)
    WorldPoint centre; // survey (30, 45)
};

TEST(Plan, WorkedExampleInWorldCoordinates) {
    const double c30 = std::sqrt(3.0) / 2;
    const AngleCase cases[] = {
        {"0.0000", {0, 100}, {-60, 60}, {45, 30}},
        {"30.0000",
         {50, 100 * c30},
         {30 - 60 * c30, 60 * c30 + 30},
         {15 + 45 * c30, 30 * c30 - 22.5}},
    };
    for (const AngleCase& c : cases) {
        SCOPED_TRACE(c.angle);
        const plan::Plan plan = planOf(workedExample(), c.angle);

        // Runs K1…K1, T1…T4 and T5…T7 between the break marks.
        ASSERT_EQ(plan.polylines.size(), 3u);
        EXPECT_EQ(plan.polylines[0].vertices.size(), 5u);
        EXPECT_EQ(plan.polylines[1].vertices.size(), 4u);
        EXPECT_EQ(plan.polylines[2].vertices.size(), 3u);
        expectNear(plan.polylines[0].vertices[0], {0, 0});
        expectNear(plan.polylines[0].vertices[1], c.k2);
        expectNear(plan.polylines[1].vertices[0], c.t1);

        // Circles where the radius is not 0; every label the label offset east of its point,
        // horizontal.
        ASSERT_EQ(plan.circles.size(), 6u);
        expectNear(plan.circles[0].centre, c.t1);
        EXPECT_EQ(plan.circles[0].radius, 1);
        ASSERT_EQ(plan.labels.size(), 12u);
        EXPECT_EQ(plan.labels[5].text, "T1");
        expectNear(plan.labels[0].insertion, {plan::kLabelOffset, 0});
        expectNear(plan.labels[5].insertion, {c.t1.x + plan::kLabelOffset, c.t1.y});
        EXPECT_EQ(plan.labels[5].rotation, 0);

        // The frame stays axis-aligned, 841 × 594 mm at 1:100, centred on the data.
        const double sizes[][2] = {{84.1, 59.4}, {81.1, 56.4}, {77.1, 52.4}};
        for (std::size_t r = 0; r < 3; ++r) {
            const auto [low, high] = bounds(plan.frameRectangles[r]);
            EXPECT_NEAR(high.x - low.x, sizes[r][0], 1e-4);
            EXPECT_NEAR(high.y - low.y, sizes[r][1], 1e-4);
            expectNear({(low.x + high.x) / 2, (low.y + high.y) / 2}, c.centre, 1e-4);
            EXPECT_TRUE(plan.frameRectangles[r].closed);
        }
    }
}

TEST(Plan, OuterFrameCornersOfTheWorkedExample) {
    const auto [low, high] = bounds(planOf(workedExample(), "0.0000").frameRectangles[0]);
    expectNear(low, {2.95, 0.30}, 1e-4);
    expectNear(high, {87.05, 59.70}, 1e-4);
}

TEST(Plan, WhatDrawsNoEntity) {
    // A run of one point, an empty name, a radius of 0; a negative radius is kept and warned.
    const plan::Plan plan = planOf("\tA\t0\t0\t0\r\n"
                                   "*\t\t10\t0\t-2\r\n"
                                   "*\tC\t20\t0\t0\r\n"
                                   "\tD\t30\t0\t0\r\n",
                                   "0.0000");
    ASSERT_EQ(plan.polylines.size(), 1u);
    EXPECT_EQ(plan.polylines[0].firstSlot, 2);
    ASSERT_EQ(plan.labels.size(), 3u);
    EXPECT_EQ(plan.labels[1].text, "C");
    ASSERT_EQ(plan.circles.size(), 1u);
    EXPECT_EQ(plan.circles[0].radius, -2);
    ASSERT_EQ(plan.warnings.size(), 1u);
    EXPECT_NE(plan.warnings[0].find("G7"), std::string::npos);
}

TEST(Plan, FitCheckSuggestsTheLargestScaleOrAnotherPaper) {
    const plan::PaperSize& a1 = *plan::findPaper("A1");
    const plan::PaperSize& a4p = *plan::findPaper("A4P");
    // The worked example reaches 83 m north of the frame centre (T4's label top): 1:300
    // gives 78.6 m inside the inner border of A1, 1:400 gives 104.8 m.
    const plan::Plan worked = planOf(workedExample(), "0.0000");
    plan::FitCheck check = plan::checkFit(worked, a1, *plan::findScale("100"));
    EXPECT_EQ(check.outside, 12);
    ASSERT_NE(check.fittingScale, nullptr);
    EXPECT_EQ(check.fittingScale->token, "400");
    EXPECT_EQ(plan::checkFit(worked, a1, *plan::findScale("400")).outside, 0);
    EXPECT_EQ(plan::checkFit(worked, a1, *plan::findScale("300")).outside, 2);

    // 1 km apart: too wide for A4 portrait at any scale; A1 holds it at 1:2000.
    const plan::Plan wide = planOf("\tA\t0\t0\r\n\tB\t1000\t1000\r\n", "0.0000");
    check = plan::checkFit(wide, a4p, *plan::findScale("5000"));
    EXPECT_EQ(check.fittingScale, nullptr);
    ASSERT_NE(check.fittingPaper, nullptr);
    EXPECT_EQ(check.fittingPaper->token, "A1");
    EXPECT_EQ(check.fittingPaperScale->token, "2000");
    EXPECT_NE(plan::fitMessage(check, a4p, *plan::findScale("5000")).find("A1・縮尺 1:2000"),
              std::string::npos);
}

TEST(Plan, FitCheckOffersB4AndTheScale1To250) {
    // B's label reaches 21 m north of the frame centre: B4 landscape holds 18.7 m at 1:200
    // and 23.4 m at 1:250 inside its inner border.
    const plan::Plan plan = planOf("\tA\t0\t0\r\n\tB\t36\t0\r\n", "0.0000");
    const plan::FitCheck check =
        plan::checkFit(plan, *plan::findPaper("B4L"), *plan::findScale("200"));
    EXPECT_EQ(check.outside, 1);
    ASSERT_NE(check.fittingScale, nullptr);
    EXPECT_EQ(check.fittingScale->token, "250");
    EXPECT_EQ(plan::checkFit(plan, *plan::findPaper("B4L"), *plan::findScale("250")).outside, 0);
}

TEST(Plan, PaperConstantsFollowTheirRecipe) {
    // The corner's direction is 180° + atan(width / height) rounded to whole seconds, written
    // in degrees to 7 decimals; the half diagonal is written to 7 decimals.
    for (const plan::PaperSize& paper : plan::kPaperSizes) {
        SCOPED_TRACE(std::string(paper.token));
        const double degrees =
            180 + std::atan(paper.sheetWidth / paper.sheetHeight) * 180 / std::numbers::pi;
        const double seconds = std::round(degrees * 3600);
        EXPECT_EQ(std::round(seconds / 3600 * 1e7) / 1e7, paper.firstCornerAngle);
        const double halfDiagonal = std::hypot(paper.sheetWidth, paper.sheetHeight) / 2;
        EXPECT_EQ(std::round(halfDiagonal * 1e7) / 1e7, paper.halfDiagonal);
    }
}

TEST(Plan, FitCheckCountsACircleLargerThanTheSheet) {
    const plan::PaperSize& a1 = *plan::findPaper("A1");
    const plan::DrawingScale& scale = *plan::findScale("100");
    // Two points 10 m apart fit on A1 at 1:100; a circle of 60 m around one does not: it
    // reaches 65 m from the frame centre, and 1:250 leaves 65.5 m inside the short side.
    EXPECT_EQ(
        plan::checkFit(planOf("\tA\t0\t0\t0.5\r\n\tB\t10\t10\r\n", "0.0000"), a1, scale).outside,
        0);
    const plan::Plan large = planOf("\tA\t0\t0\t60\r\n\tB\t10\t10\t0\r\n", "0.0000");
    const plan::FitCheck check = plan::checkFit(large, a1, scale);
    EXPECT_EQ(check.outside, 1);
    ASSERT_NE(check.fittingScale, nullptr);
    EXPECT_EQ(check.fittingScale->token, "250");
}

TEST(Plan, PaperTableAgreesWithTheSheetSizes) {
    // The corner constants must describe the sheet the plan shows after the quarter turn, to
    // within what the angle's rounding to whole seconds allows: half a second of arc at the
    // corner's radius, twice over from corner to corner.
    std::set<std::string_view> tokens;
    for (const plan::PaperSize& paper : plan::kPaperSizes) {
        SCOPED_TRACE(std::string(paper.token));
        const double radians = paper.firstCornerAngle * std::numbers::pi / 180;
        const double rounding = paper.halfDiagonal * std::numbers::pi / 180 / 3600 + 1e-6;
        EXPECT_NEAR(-2 * paper.halfDiagonal * std::cos(radians), paper.sheetHeight, rounding);
        EXPECT_NEAR(-2 * paper.halfDiagonal * std::sin(radians), paper.sheetWidth, rounding);
        EXPECT_TRUE(tokens.insert(paper.token).second);
    }
}

} // namespace

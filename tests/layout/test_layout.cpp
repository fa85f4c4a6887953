// The survey map's layout over made-up parcels: whatever the shape, the number of corners and
// parcels and the rotation, no two texts meet, no text crosses a boundary, every text lies
// inside its sheet's inner frame at a height of the size table.

#include "generatedparcels.h"

#include "../parcel/parcelsupport.h"

#include "layout/geometry.h"
#include "layout/sheetlayout.h"
#include "parcel/parcel.h"
#include "parcel/surveymap.h"
#include "plan/drawingscale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace karumenio;
using namespace karumenio::layout;
using karumenio::layout::test::Shape;
using karumenio::layout::test::Survey;

namespace {

// The survey laid out on the paper at 1:250, or at the scale the layout offers when the
// parcels need one.
SheetLayout layOut(const std::string& rows, const char* angle, const char* paper,
                   const char* scale = "250") {
    const plan::Plan plan = parcel::test::planOf(rows, {angle, paper, scale});
    SheetLayout map = parcel::layOutSurveyMap(plan, parcel::findParcels(plan).parcels, {});
    if (map.fit.fittingScale != nullptr) {
        // The table's tokens are literals, ended as C strings.
        return layOut(rows, angle, paper, map.fit.fittingScale->token.data());
    }
    return map;
}

// Every pair of texts of a sheet whose boxes meet, by a sweep along x.
std::vector<std::pair<const Text*, const Text*>> meetingTexts(const Sheet& sheet) {
    std::vector<const Text*> texts;
    for (const Text& t : sheet.texts) {
        texts.push_back(&t);
    }
    std::sort(texts.begin(), texts.end(), [](const Text* a, const Text* b) {
        return a->box.bounds().minX < b->box.bounds().minX;
    });
    std::vector<std::pair<const Text*, const Text*>> meeting;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Box a = texts[i]->box.bounds();
        for (std::size_t j = i + 1; j < texts.size() && texts[j]->box.bounds().minX < a.maxX; ++j) {
            if (overlaps(texts[i]->box, texts[j]->box)) {
                meeting.emplace_back(texts[i], texts[j]);
            }
        }
    }
    return meeting;
}

struct Case {
    const char* name;
    Survey survey;
    const char* paper = "B4L";
};

TEST(SurveyMapLayout, NoTextMeetsAnotherOrALineAndAllStayInsideTheFrame) {
    std::set<double> sizes;
    for (const TextSize& size : kTextSizes) {
        sizes.insert(size.height);
    }
    const Case cases[] = {
        {"triangle", {Shape::Convex, 3, 1, 9.0}},
        {"convex 8", {Shape::Convex, 8, 1, 6.0}},
        {"concave 14", {Shape::Concave, 14, 1, 5.0}},
        {"concave 30", {Shape::Concave, 30, 1, 4.0}},
        {"long and thin 12", {Shape::LongAndThin, 12, 1, 6.0}},
        {"long and thin 40", {Shape::LongAndThin, 40, 1, 4.0}},
        {"convex 60", {Shape::Convex, 60, 1, 4.0}, "A3"},
        {"convex 120", {Shape::Convex, 120, 1, 4.0}, "A1"},
        {"two neighbours", {Shape::Block, 8, 2, 5.0}},
        {"block of 6", {Shape::Block, 12, 6, 4.0}},
        {"block of 15", {Shape::Block, 8, 15, 6.0}},
        {"5 apart", {Shape::Convex, 6, 5, 5.0, 400.0}},
        {"15 apart", {Shape::Concave, 10, 15, 4.0, 300.0}},
    };
    for (const Case& c : cases) {
        const std::string rows = layout::test::surveyRows(c.survey);
        for (const char* angle : {"0.0000", "30.0000", "90.0000", "200.0000"}) {
            SCOPED_TRACE(std::string(c.name) + " at " + angle);
            const SheetLayout map = layOut(rows, angle, c.paper);
            ASSERT_FALSE(map.sheets.empty());
            EXPECT_EQ(map.fit.overlappingTexts, 0);
            EXPECT_EQ(map.fit.drawingsTooLarge, 0);
            for (const Sheet& sheet : map.sheets) {
                for (const auto& [a, b] : meetingTexts(sheet)) {
                    ADD_FAILURE() << "sheet " << sheet.number << ": 「" << a->text << "」 meets 「"
                                  << b->text << "」";
                }
                for (const Text& t : sheet.texts) {
                    EXPECT_TRUE(sheet.inner.contains(t.box.bounds())) << t.text;
                    EXPECT_EQ(t.height, textHeight(t.role)) << t.text;
                    EXPECT_TRUE(sizes.count(t.height)) << t.text;
                    EXPECT_GE(t.height, 2.0);
                    EXPECT_LE(t.height, 5.0);
                }
                for (const Line& line : sheet.lines) {
                    if (line.layer != LayerId::Boundary) {
                        continue;
                    }
                    for (std::size_t i = 0; i < line.vertices.size(); ++i) {
                        const Point a = line.vertices[i];
                        const Point b = line.vertices[(i + 1) % line.vertices.size()];
                        for (const Text& t : sheet.texts) {
                            EXPECT_FALSE(crosses(a, b, t.box)) << t.text;
                        }
                    }
                }
            }
        }
    }
}

TEST(LayoutGeometry, TurnedBoxesMeetOnlyWhenTheirInsidesDo) {
    // A 10 × 2 box turned 30° about its lower left corner at the origin, against others.
    const Quad turned = Quad::along({0, 0}, directionOf(30.0), 10.0, 2.0);
    struct Row {
        const char* name;
        Quad other;
        bool meet;
    };
    const Row rows[] = {
        {"upright box over its far end", Quad::of(Box::of({7.5, 4.0}, {9.0, 6.0})), true},
        {"box in the corner its slope leaves free", Quad::of(Box::of({6.0, 0.0}, {9.0, 1.5})),
         false},
        {"the same box laid along its top edge",
         Quad::along(leftOf(directionOf(30.0)) * 2.0, directionOf(30.0), 10.0, 2.0), false},
        {"the same box a hair lower",
         Quad::along(leftOf(directionOf(30.0)) * 1.999, directionOf(30.0), 10.0, 2.0), true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(overlaps(turned, row.other), row.meet) << row.name;
        EXPECT_EQ(overlaps(row.other, turned), row.meet) << row.name;
    }
    // A segment through the inside crosses; one along an edge, or past a corner, does not.
    EXPECT_TRUE(crosses({-1, 1}, {3, 1}, Quad::of(Box::of({0, 0}, {2, 2}))));
    EXPECT_FALSE(crosses({-1, 2}, {3, 2}, Quad::of(Box::of({0, 0}, {2, 2}))));
    EXPECT_FALSE(crosses({1, 3}, {3, 1}, Quad::of(Box::of({0, 0}, {2, 2}))));
}

} // namespace

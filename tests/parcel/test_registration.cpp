// What the registry asks of the survey map beyond the areas: reference points that are no
// corners, the legend of the marks used, and the neighbouring lots along each side.
#include "parcelsupport.h"

#include "parcel/boundarymarks.h"
#include "parcel/neighbours.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"

#include <gtest/gtest.h>

using namespace karumenio;
using namespace karumenio::parcel;
using karumenio::parcel::test::planOf;

namespace {

std::string cornerNames(const plan::Plan& plan, const Parcel& parcel) {
    std::string names;
    for (const Vertex& v : parcel.vertices) {
        names += plan.points[static_cast<std::size_t>(v.slot)].name;
    }
    return names;
}

struct ReferenceCase {
    const char* name;
    std::string rows;
};

class ReferencePoints : public testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferencePoints, AreNeverCornersNorChangeTheArea) {
    const plan::Plan plan = planOf(GetParam().rows);
    const ParcelSearch found = findParcels(plan);
    ASSERT_EQ(found.parcels.size(), 1u);
    EXPECT_EQ(found.parcels[0].name, "1");
    EXPECT_EQ(cornerNames(plan, found.parcels[0]), "ABCD");
    const std::vector<ParcelArea> areas = computeAreas(found.parcels, *findLandCategory("宅地"));
    EXPECT_EQ(areas[0].areaText(), "100.000000");
    for (const AreaRow& row : areas[0].rows) {
        EXPECT_EQ(plan.points[static_cast<std::size_t>(row.vertex.slot)].pointClass,
                  points::PointClassId::Boundary);
    }
    const BoundaryMarks marks = findBoundaryMarks(plan, found.parcels);
    ASSERT_EQ(marks.referencePoints.size(), 1u);
    EXPECT_EQ(marks.referencePoints[0].name, "S");
    EXPECT_EQ(marks.referencePoints[0].x, 50000);
    EXPECT_EQ(marks.points.size(), 4u);
}

const std::string kSquare = "\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tD\t0\t10\n\tA\t0\t0\n";

INSTANTIATE_TEST_SUITE_P(
    Parcel, ReferencePoints,
    testing::Values(
        ReferenceCase{"in_a_section_of_its_own", "1" + kSquare + "*\tS\t50\t-3\t\t\t引照点\n"},
        ReferenceCase{"first_row_of_the_parcel", "1\tS\t50\t-3\t\t\t引照点\n" + kSquare},
        ReferenceCase{"among_the_corners",
                      "1\tA\t0\t0\n\tB\t10\t0\n\tS\t50\t-3\t\t\t基準点\n\tC\t10\t10\n\tD\t0\t10\n"
                      "\tA\t0\t0\n"},
        ReferenceCase{"on_a_corner_after_the_closing_row",
                      "1" + kSquare + "\tS\t50\t-3\t\t金属鋲\t 引照点 \n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LegendCase {
    const char* name;
    // The mark of A, B, C, D and of the closing row A, then of an open line's point.
    std::array<const char*, 6> marks;
    std::vector<std::string> legend;
    std::size_t warnings = 0;
};

class MarkLegend : public testing::TestWithParam<LegendCase> {};

TEST_P(MarkLegend, ListsExactlyTheKindsUsedOnBoundaryPoints) {
    const LegendCase& c = GetParam();
    const char* names[] = {"A", "B", "C", "D", "A", "L"};
    const double xs[] = {0, 10, 10, 0, 0, 30};
    const double ys[] = {0, 0, 10, 10, 0, 30};
    std::string rows;
    for (std::size_t i = 0; i < 6; ++i) {
        rows += std::string(i == 0   ? "1"
                            : i == 5 ? "*"
                                     : "") +
                "\t" + names[i] + "\t" + std::to_string(xs[i]) + "\t" + std::to_string(ys[i]) +
                "\t\t" + c.marks[i] + "\n";
    }
    const plan::Plan plan = planOf(rows + "\tM\t40\t30\n");
    const BoundaryMarks marks = findBoundaryMarks(plan, findParcels(plan).parcels);
    std::vector<std::string> legend;
    for (const MarkLegendEntry& entry : marks.legend) {
        legend.push_back(entry.text);
        EXPECT_EQ(entry.symbol, points::findMarkKind(entry.text) != nullptr
                                    ? points::findMarkKind(entry.text)->symbol
                                    : points::MarkSymbol::Other);
    }
    EXPECT_EQ(legend, c.legend);
    EXPECT_EQ(marks.warnings.size(), c.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Parcel, MarkLegend,
    testing::Values(LegendCase{"none_given", {"", "", "", "", "", ""}, {}},
                    LegendCase{"in_the_order_of_the_list_each_once_without_none",
                               {"木杭", "石杭", "木杭", "なし", "", "金属標"},
                               {"石杭", "木杭"}},
                    LegendCase{"a_closing_row_gives_its_corner_a_mark",
                               {"", "", "", "", "プラスチック杭", ""},
                               {"プラスチック杭"}},
                    LegendCase{"a_kind_not_of_the_list_follows_with_a_warning",
                               {"鉄杭", "コンクリート杭", "鉄杭", "刻印", "", ""},
                               {"コンクリート杭", "刻印", "鉄杭"},
                               1},
                    LegendCase{"two_kinds_at_one_corner_the_first_with_a_warning",
                               {"金属鋲", "", "", "", "石杭", ""},
                               {"金属鋲"},
                               1}),
    [](const auto& info) { return std::string(info.param.name); });

struct NeighbourCase {
    const char* name;
    std::vector<std::string> listed;
    // The lots along the sides AB, BC, CD and DA of the first parcel.
    const char* lots;
    std::size_t warnings = 0;
};

class Neighbours : public testing::TestWithParam<NeighbourCase> {};

TEST_P(Neighbours, LieAlongTheirStretchOrASharedSide) {
    const NeighbourCase& c = GetParam();
    // Q shares the side B–C with P.
    const plan::Plan plan = planOf("P" + kSquare +
                                   "Q\tB\t10\t0\n\tE\t20\t0\n\tF\t20\t10\n"
                                   "\tC\t10\t10\n\tB\t10\t0\n");
    std::vector<Neighbour> listed;
    for (const std::string& text : c.listed) {
        const std::optional<Neighbour> neighbour = parseNeighbour(text);
        ASSERT_TRUE(neighbour) << text;
        listed.push_back(*neighbour);
    }
    const NeighbourSearch found = findNeighbours(plan, findParcels(plan).parcels, listed);
    std::string lots;
    for (std::size_t side = 0; side < found.lots.at(0).size(); ++side) {
        lots += side == 0 ? "" : "|";
        for (const std::string& lot : found.lots[0][side]) {
            lots += (lots.empty() || lots.back() == '|' ? "" : "+") + lot;
        }
    }
    EXPECT_EQ(lots, c.lots);
    EXPECT_EQ(found.warnings.size(), c.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Parcel, Neighbours,
    testing::Values(
        NeighbourCase{"only_the_shared_side", {}, "|Q||"},
        NeighbourCase{"one_side_either_way_round", {"5番:A-B", "6番: D - C"}, "5番|Q|6番|"},
        NeighbourCase{"a_stretch_in_the_order_of_the_corners", {"道路:C-A"}, "|Q|道路|道路"},
        NeighbourCase{"a_stretch_over_the_first_corner", {"水路:D-B"}, "水路|Q||水路"},
        NeighbourCase{"full_width_separators", {"670番：C～D", "671番:D〜A"}, "|Q|670番|671番"},
        NeighbourCase{"a_point_of_no_parcel", {"7番:A-Z", "8番:A-A"}, "|Q||", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Neighbours, PointNamesWithAHyphenAreSplitWhereTheyNameCorners) {
    const plan::Plan plan = planOf("1\tK-1\t0\t0\n\tK-2\t10\t0\n\tK-3\t10\t10\n\tK-1\t0\t0\n");
    const NeighbourSearch found =
        findNeighbours(plan, findParcels(plan).parcels, {*parseNeighbour("669-2:K-2-K-3")});
    ASSERT_EQ(found.stretches.size(), 1u);
    EXPECT_EQ(found.stretches[0].firstSide, 1u);
    EXPECT_EQ(found.stretches[0].sideCount, 1u);
    EXPECT_TRUE(found.warnings.empty());
    for (const char* text : {"669:", ":A-B", "669:A", "669:A-", "669 A-B"}) {
        EXPECT_FALSE(parseNeighbour(text)) << text;
    }
}

} // namespace

// Whether a plan's centroid lies where its coordinate system is used, and the slip named when
// it does not. The places are towns whose coordinates were taken from PROJ.
#include "geodesy/placementcheck.h"

#include <gtest/gtest.h>

#include <limits>

using namespace karumenio::geodesy;

namespace {

constexpr PlanePoint kTokyoInIX{-35363.238, -5992.920};
constexpr PlanePoint kHakodateInXI{-247740.634, 39808.348};
constexpr PlanePoint kNahaInXV{23541.967, 18076.812};
constexpr PlanePoint kSapporoInXII{-103803.875, -72947.414};
constexpr PlanePoint kMinamitorishimaInXIX{-189771.827, -1959.238};
// In the east of system XI's land, about 42.2° N 141.6° E, where only one slip of signs
// comes back inside.
constexpr PlanePoint kEastOfXI{-200000.0, 110000.0};

TEST(PlacementCheck, NamesTheLikelySlip) {
    struct Case {
        const char* what;
        int system;
        PlanePoint centroid;
        Placement expected;
    };
    const PlanePoint h = kHakodateInXI;
    const Case cases[] = {
        {"Tokyo in IX", 9, kTokyoInIX, Placement::Inside},
        {"Hakodate in XI", 11, h, Placement::Inside},
        {"Naha in XV", 15, kNahaInXV, Placement::Inside},
        {"Sapporo in XII", 12, kSapporoInXII, Placement::Inside},
        {"Minamitorishima in XIX", 19, kMinamitorishimaInXIX, Placement::Inside},
        {"Hakodate with X and Y exchanged", 11, {h.y, h.x}, Placement::AxesSwapped},
        {"Hakodate with X turned", 11, {-h.x, h.y}, Placement::XSignReversed},
        {"east of XI", 11, kEastOfXI, Placement::Inside},
        {"east of XI with Y turned", 11, {kEastOfXI.x, -kEastOfXI.y}, Placement::YSignReversed},
        {"east of XI with both turned",
         11,
         {-kEastOfXI.x, -kEastOfXI.y},
         Placement::BothSignsReversed},
        {"Hakodate in XII", 12, h, Placement::Outside},
        {"Naha in XIX", 19, kNahaInXV, Placement::Outside},
        {"Sapporo in XIX", 19, kSapporoInXII, Placement::Outside},
        {"beyond any system", 9, {9.0e6, 0.0}, Placement::Outside},
        {"not a number", 9, {std::numeric_limits<double>::quiet_NaN(), 0.0}, Placement::Outside},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlacementCheck check = checkPlacement(*planeSystem(c.system), c.centroid);
        EXPECT_EQ(check.placement, c.expected);
        EXPECT_EQ(check.warning.empty(), c.expected == Placement::Inside) << check.warning;
    }
}

TEST(PlacementCheck, WarningsSayWhereAndWhatToLookAt) {
    const PlanePoint h = kHakodateInXI;
    const PlacementCheck swapped = checkPlacement(*planeSystem(11), {h.y, h.x});
    EXPECT_EQ(swapped.warning,
              "図形の重心（X=39808.348、Y=-247740.634）が平面直角座標系第XI系の範囲外です。"
              "X と Y が入れ替わっている可能性があります（入れ替えると範囲内になります）。");
    const PlacementCheck wrongSystem = checkPlacement(*planeSystem(12), h);
    EXPECT_EQ(wrongSystem.warning,
              "図形の重心（X=-247740.634、Y=39808.348）が平面直角座標系第XII系の範囲外です。"
              "座標系の指定か X・Y の取り方が誤っている可能性があります。");
    // Where the centroid lands is given even when it is outside, for the map.
    ASSERT_TRUE(wrongSystem.position.has_value());
    EXPECT_NEAR(wrongSystem.position->latitude, 41.77, 0.01);
    EXPECT_FALSE(checkPlacement(*planeSystem(9), {9.0e6, 0.0}).position.has_value());
}

} // namespace

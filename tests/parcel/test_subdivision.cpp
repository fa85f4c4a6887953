#include "parcel/accuracyclass.h"
#include "parcel/areacsv.h"
#include "parcel/landcategory.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/subdivision.h"
#include "parcel/subdivisionmap.h"

#include "plan/plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace karumenio;
using namespace karumenio::parcel;

namespace {

struct Corner {
    std::int64_t x;
    std::int64_t y;
};

struct Section {
    std::string name;
    std::vector<Corner> corners;
};

// The plan of closed sections whose corners are given in millimetres, each point named after
// its row.
plan::Plan planOf(const std::vector<Section>& sections) {
    plan::Plan plan;
    for (const Section& section : sections) {
        for (std::size_t i = 0; i <= section.corners.size(); ++i) {
            const Corner& c = section.corners[i % section.corners.size()];
            plan::PlanPoint point;
            point.x = static_cast<double>(c.x) / 1000.0;
            point.y = static_cast<double>(c.y) / 1000.0;
            point.breakBefore = i == 0 && !plan.points.empty();
            point.breakMark = i == 0 ? section.name : "";
            point.name = "P" + std::to_string(plan.points.size() + 1);
            plan.points.push_back(point);
        }
    }
    return plan;
}

struct Checked {
    std::vector<Parcel> parcels;
    SubdivisionCheck check;
    std::string csv;
};

Checked checked(const std::vector<Section>& sections, const SubdivisionSettings& settings) {
    const plan::Plan plan = planOf(sections);
    const std::vector<Parcel> parcels = findParcels(plan).parcels;
    const std::vector<ParcelArea> areas = computeAreas(parcels, kLandCategories[0]);
    Checked result{parcels, checkSubdivision(plan, parcels, areas, settings), {}};
    result.csv = writeAreaCsv(plan, areas, &result.check).bytes;
    return result;
}

SubdivisionSettings subdivisionOf(const char* parent) {
    SubdivisionSettings settings;
    settings.parent = parent;
    return settings;
}

// A cut across the parent from its side at X = 0 to its side at X = kWidth, bent at the
// middle when bend is given (Y in millimetres).
struct Cut {
    std::int64_t left;
    std::optional<std::int64_t> bend;
    std::int64_t right;
};

constexpr std::int64_t kWidth = 60000;
constexpr std::int64_t kLength = 100000;

// The parent "1" of kWidth × kLength with every cut's ends among its corners, then the strips
// between the cuts as lots "1-1", "1-2", … in order of Y.
std::vector<Section> strips(const std::vector<Cut>& inner, std::int64_t scale = 1) {
    std::vector<Cut> cuts{{0, std::nullopt, 0}};
    cuts.insert(cuts.end(), inner.begin(), inner.end());
    cuts.push_back({kLength, std::nullopt, kLength});
    Section parent{"1", {}};
    for (Cut& cut : cuts) {
        cut = {cut.left * scale, cut.bend ? std::optional(*cut.bend * scale) : std::nullopt,
               cut.right * scale};
    }
    const std::int64_t width = kWidth * scale;
    for (const Cut& cut : cuts) {
        parent.corners.push_back({0, cut.left});
    }
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        parent.corners.push_back({width, cut->right});
    }
    std::vector<Section> sections{parent};
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const Cut& low = cuts[k];
        const Cut& high = cuts[k + 1];
        Section lot{"1-" + std::to_string(k + 1), {{0, low.left}, {0, high.left}}};
        if (high.bend) {
            lot.corners.push_back({width / 2, *high.bend});
        }
        lot.corners.push_back({width, high.right});
        lot.corners.push_back({width, low.right});
        if (low.bend) {
            lot.corners.push_back({width / 2, *low.bend});
        }
        sections.push_back(lot);
    }
    return sections;
}

struct SplitCase {
    const char* name;
    std::vector<Cut> cuts;
    // One per straight cut, two per broken one.
    std::size_t dividingLines;
    std::int64_t scale = 1;
};

TEST(Subdivision, LotsThatTileTheParentAddUpExactly) {
    const SplitCase cases[] = {
        {"two lots, straight", {{40000, std::nullopt, 40000}}, 1},
        {"three lots, broken", {{30000, 33251, 31007}, {60000, 58003, 61500}}, 4},
        {"five lots, straight and broken",
         {{17333, std::nullopt, 21001},
          {40000, 45555, 38000},
          {60001, std::nullopt, 60001},
          {80000, 77777, 83333}},
         6},
        // Sides of thousands of kilometres: products beyond 64 bits.
        {"three lots, broken, continent-wide",
         {{30000, 33251, 31007}, {60000, 58003, 61500}},
         4,
         100000},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Checked result = checked(strips(c.cuts, c.scale), subdivisionOf("1"));
        EXPECT_TRUE(result.check.warnings.empty()) << result.check.warnings.front();
        ASSERT_EQ(result.check.lots.size(), c.cuts.size() + 1);
        EXPECT_TRUE(result.check.matches());
        EXPECT_EQ(result.check.lotsDoubleArea, result.check.parentDoubleArea);
        EXPECT_EQ(result.check.lots.front().sign, "①");
        EXPECT_EQ(dividingLines(result.parcels, result.check).size(), c.dividingLines);
        EXPECT_EQ(subdivisionSummary(result.check)[2].value, "一致");
        EXPECT_NE(result.csv.find("\r\n差,倍面積,,,,0.000000,\r\n差,面積,,,,0.000000,\r\n"),
                  std::string::npos);
    }
}

struct FaultCase {
    const char* name;
    std::vector<Section> sections;
    // 倍面積 of the lots less the parent's, in square millimetres, and 差 as the sheet shows it.
    const char* difference;
    const char* shown;
    std::vector<const char*> warnings;
};

TEST(Subdivision, FaultsAreReported) {
    const std::vector<Section> three = strips({{30000, 33251, 31007}, {60000, 58003, 61500}});
    // The far end of the first cut moved by 1 mm along the parent's side, in the second lot
    // only: a sliver of kWidth / 2 × 1 mm / 2 between the lots, counted twice in 倍面積.
    std::vector<Section> gap = three;
    gap[2].corners[4].y += 1;
    std::vector<Section> overlap = three;
    overlap[2].corners[4].y -= 1;
    // The third lot reaching 1 m beyond the parent's far side at one corner.
    std::vector<Section> outside = three;
    outside[3].corners[1].y += 1000;
    std::vector<Section> whole = three;
    whole.push_back({"1-4", three[0].corners});
    std::vector<Section> apart = three;
    apart.push_back({"9", {{200000, 0}, {210000, 0}, {210000, 10000}}});
    const FaultCase cases[] = {
        {"a corner moved 1 mm away",
         gap,
         "-30000",
         "-0.015000",
         {"一致しません（倍面積の差 -30000 mm²）"}},
        {"a corner moved 1 mm across",
         overlap,
         "30000",
         "0.015000",
         {"「1-1」と分筆後の区画「1-2」が重なっています", "倍面積の差 30000 mm²"}},
        {"a lot outside the parent",
         outside,
         "60000000",
         "30.000000",
         {"分筆後の区画「1-3」の点「P24」は分筆前の区画「1」の外にあります", "差 60000000 mm²"}},
        {"a lot the whole parent",
         whole,
         "12000000000",
         "6000.000000",
         {"「1-1」と分筆後の区画「1-4」が重なっています",
          "「1-2」と分筆後の区画「1-4」が重なっています",
          "「1-3」と分筆後の区画「1-4」が重なっています", "倍面積の差 12000000000 mm²"}},
        {"a parcel away from the parent",
         apart,
         "0",
         "一致",
         {"区画「9」は分筆前の区画「1」の外にあるため、分筆後の区画に入れていません"}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Checked result = checked(c.sections, subdivisionOf("1"));
        EXPECT_EQ(result.check.difference.fixedPoint(0), c.difference);
        EXPECT_EQ(subdivisionSummary(result.check)[2].value, c.shown);
        ASSERT_EQ(result.check.warnings.size(), c.warnings.size());
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_NE(result.check.warnings[i].find(c.warnings[i]), std::string::npos)
                << result.check.warnings[i];
        }
    }
    const Checked missing = checked(three, subdivisionOf("2"));
    ASSERT_EQ(missing.check.warnings.size(), 1U);
    EXPECT_NE(missing.check.warnings[0].find("「2」が見つかりません"), std::string::npos);
    EXPECT_EQ(missing.csv.find("分筆前"), std::string::npos);
}

// The summary follows the last new lot, before a parcel that is none, and signs follow the
// style.
TEST(Subdivision, SummaryRowsFollowTheLastLot) {
    std::vector<Section> sections = strips({{40000, 50000, 40000}});
    sections.push_back({"9", {{200000, 0}, {210000, 0}, {210000, 10000}}});
    SubdivisionSettings settings = subdivisionOf("1");
    settings.signs = findLotSignStyle("iroha");
    settings.remainder = "1-2";
    const Checked result = checked(sections, settings);
    ASSERT_EQ(result.check.lots.size(), 2U);
    EXPECT_EQ(result.check.lots[1].sign, "(ロ)");
    EXPECT_EQ(lotCaption(result.parcels[2], result.check.lots[1]), "(ロ) 1-2（残地）");
    EXPECT_NE(result.csv.find("1-2,地積,,,,3300.00,\r\n"
                              "分筆前,倍面積,,,,12000.000000,\r\n"
                              "分筆前,面積,,,,6000.000000,\r\n"
                              "分筆後合計,倍面積,,,,12000.000000,\r\n"
                              "分筆後合計,面積,,,,6000.000000,\r\n"
                              "差,倍面積,,,,0.000000,\r\n"
                              "差,面積,,,,0.000000,\r\n"
                              "9,P"),
              std::string::npos)
        << result.csv;
    EXPECT_EQ(lotSign(*findLotSignStyle("circled"), 20), "(21)");
}

// At F = 10000 m², ⁴√F = 10 and √F = 100: each class's tolerance is (a + 10 b) / 10 m², a whole
// number of square millimetres. A parent that far from the registered area is within it; a
// square millimetre more of registered area on the other side is beyond it.
TEST(Subdivision, RegisteredAreaAtTheClassesTolerance) {
    const struct {
        const char* token;
        std::int64_t tolerance;
    } classes[] = {{"甲1", 5500000},  {"甲2", 15000000}, {"甲3", 30000000},
                   {"乙1", 50000000}, {"乙2", 95000000}, {"乙3", 190000000}};
    for (const auto& accuracy : classes) {
        SCOPED_TRACE(accuracy.token);
        const AccuracyClass* found = findAccuracyClass(accuracy.token);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(areaTolerance(*found, 10000000000), accuracy.tolerance);
        for (const int sign : {1, -1}) {
            // The parent 100 m wide, longer or shorter by the tolerance's area.
            const std::int64_t length = 100000 + sign * accuracy.tolerance / 100000;
            const std::vector<Section> parent{
                {"1", {{0, 0}, {100000, 0}, {100000, length}, {0, length}}},
                {"1-1", {{0, 0}, {100000, 0}, {100000, 50000}, {0, 50000}}},
                {"1-2", {{0, 50000}, {100000, 50000}, {100000, length}, {0, length}}}};
            SubdivisionSettings settings = subdivisionOf("1");
            settings.accuracyClass = found;
            for (const auto& [registered, beyond] :
                 {std::pair{"10000", false}, {sign > 0 ? "9999.999999" : "10000.000001", true}}) {
                SCOPED_TRACE(registered);
                settings.registeredArea = squareMillimetresOf(registered);
                const std::vector<std::string> warnings = checked(parent, settings).check.warnings;
                ASSERT_EQ(warnings.size(), beyond ? 1U : 0U);
                if (beyond) {
                    EXPECT_NE(warnings[0].find("地積更正"), std::string::npos) << warnings[0];
                }
            }
        }
    }
    for (const char* text : {"-1", "1.", ".5", "1.0000001", "1e3", "", "12,5"}) {
        EXPECT_FALSE(squareMillimetresOf(text)) << text;
    }
}

} // namespace

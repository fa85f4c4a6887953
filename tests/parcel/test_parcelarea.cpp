#include "parcelsupport.h"

#include "parcel/areacsv.h"
#include "parcel/landcategory.h"
#include "parcel/millimetres.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/sidelength.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace karumenio;
using namespace karumenio::parcel;
using namespace karumenio::parcel::test;

namespace {

const LandCategory& category(const char* token) {
    return *findLandCategory(token);
}

// A parcel of these corners in metres, as a plan's closed section would give it.
Parcel parcelOf(const std::vector<std::pair<double, double>>& corners) {
    Parcel parcel;
    parcel.name = "1";
    for (const auto& [x, y] : corners) {
        parcel.vertices.push_back(
            {static_cast<int>(parcel.vertices.size()), *toMillimetres(x), *toMillimetres(y)});
    }
    return parcel;
}

struct AreaCase {
    const char* name;
    std::vector<std::pair<double, double>> corners;
    const char* land;
    const char* doubleArea;
    const char* area;
    const char* registered;
};

TEST(ParcelArea, HandWorkedExamples) {
    const std::vector<std::pair<double, double>> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const std::vector<std::pair<double, double>> triangle{{0, 0}, {10.001, 0}, {0, 3.333}};
    // 25 × 14.5 = 362.5 exactly; the same formula on the doubles gives 362.4999999999982.
    const std::vector<std::pair<double, double>> tenths{
        {1000.1, 200.3}, {1025.1, 200.3}, {1025.1, 214.8}, {1000.1, 214.8}};
    const std::vector<std::pair<double, double>> justOverTen{
        {0, 0}, {2.001, 0}, {2.001, 5}, {0, 5}};
    const std::vector<std::pair<double, double>> ten{{0, 0}, {2, 0}, {2, 5}, {0, 5}};
    const std::vector<std::pair<double, double>> large{{0, 0}, {14.51, 0}, {14.51, 25}, {0, 25}};
    const AreaCase cases[] = {
        {"square of 10 m", square, "宅地", "200.000000", "100.000000", "100.00"},
        {"square, clockwise",
         {{0, 0}, {0, 10}, {10, 10}, {10, 0}},
         "宅地",
         "200.000000",
         "100.000000",
         "100.00"},
        // 2A = 33.333333: half a square millimetre is cut from the area, and 地積 is cut too.
        {"triangle", triangle, "宅地", "33.333333", "16.666666", "16.66"},
        {"triangle, clockwise",
         {triangle[0], triangle[2], triangle[1]},
         "宅地",
         "33.333333",
         "16.666666",
         "16.66"},
        {"tenths of a metre", tenths, "宅地", "725.000000", "362.500000", "362.50"},
        {"10.005 m² 宅地", justOverTen, "宅地", "20.010000", "10.005000", "10.00"},
        {"10.005 m² 鉱泉地", justOverTen, "鉱泉地", "20.010000", "10.005000", "10.00"},
        {"10.005 m² その他: over 10 m², whole m²", justOverTen, "その他", "20.010000", "10.005000",
         "10"},
        {"10 m² その他: not over 10 m²", ten, "その他", "20.000000", "10.000000", "10.00"},
        {"362.75 m² その他", large, "その他", "725.500000", "362.750000", "362"},
        {"362.75 m² 宅地", large, "宅地", "725.500000", "362.750000", "362.75"},
        {"one square millimetre doubled",
         {{0, 0}, {0.001, 0}, {0, 0.001}},
         "宅地",
         "0.000001",
         "0.000000",
         "0.00"},
        {"concave L",
         {{0, 0}, {20, 0}, {20, 5}, {5, 5}, {5, 15}, {0, 15}},
         "その他",
         "300.000000",
         "150.000000",
         "150"},
        {"plane coordinates",
         {{-23795.96, -32832.251},
          {-23776.205, -32831.874},
          {-23776.512, -32814.3},
          {-23796.118, -32814.662}},
         "宅地",
         "692.197239",
         "346.098619",
         "346.09"},
        {"collinear corners", {{0, 0}, {1, 1}, {2, 2}}, "宅地", "0.000000", "0.000000", "0.00"},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParcelArea a = computeArea(parcelOf(c.corners), category(c.land));
        EXPECT_EQ(a.doubleAreaText(), c.doubleArea);
        EXPECT_EQ(a.areaText(), c.area);
        EXPECT_EQ(a.registeredAreaText(), c.registered);
        EXPECT_EQ(a.rows.size(), c.corners.size());
    }
}

TEST(ParcelArea, TheDoublesWouldLoseTheHalfSquareMetre) {
    // Why the area is never taken from the doubles: the same coordinate method on them.
    const std::vector<std::pair<double, double>> p{
        {1000.1, 200.3}, {1025.1, 200.3}, {1025.1, 214.8}, {1000.1, 214.8}};
    double sum = 0;
    for (std::size_t k = 0; k < p.size(); ++k) {
        sum += p[k].first * (p[(k + 1) % p.size()].second - p[(k + 3) % p.size()].second);
    }
    ASSERT_LT(std::fabs(sum) / 2, 362.5);
    EXPECT_EQ(computeArea(parcelOf(p), category("宅地")).registeredAreaText(), "362.50");
}

TEST(ParcelArea, TermsFollowTheCornersRoundTheParcel) {
    const ParcelArea ccw =
        computeArea(parcelOf({{0, 0}, {10.001, 0}, {0, 3.333}}), category("宅地"));
    const ParcelArea cw =
        computeArea(parcelOf({{0, 0}, {0, 3.333}, {10.001, 0}}), category("宅地"));
    // Vertex k: Yk+1 − Yk−1, then Xk times it.
    const std::pair<const char*, const char*> ccwRows[] = {
        {"-3.333", "0.000000"}, {"3.333", "33.333333"}, {"0.000", "0.000000"}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(metresText(ccw.rows[k].yDifference), ccwRows[k].first);
        EXPECT_EQ(ccw.rows[k].term.fixedPoint(6), ccwRows[k].second);
    }
    EXPECT_EQ(cw.rows[2].term.fixedPoint(6), "-33.333333");
    EXPECT_FALSE(ccw.signedDoubleArea.isNegative());
    EXPECT_TRUE(cw.signedDoubleArea.isNegative());
}

struct SectionCase {
    const char* name;
    const char* rows;
    std::vector<std::string> parcels; // names
    std::vector<std::vector<int>> slots;
    std::size_t warnings;
};

TEST(FindParcels, ClosedSectionsWithThreeCornersAreParcels) {
    const SectionCase cases[] = {
        {"closed square",
         "K\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tD\t0\t10\n\tA\t0\t0\n",
         {"K"},
         {{0, 1, 2, 3}},
         0},
        {"slot 0 starts a section without a mark",
         "\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0\t0\n",
         {""},
         {{0, 1, 2}},
         0},
        {"closes after rounding to the millimetre",
         "P\tA\t0.0004\t-0.0004\n\tB\t10\t0\n\tC\t10\t10\n\tA\t-0.0004\t0.0004\n",
         {"P"},
         {{0, 1, 2}},
         0},
        {"6/10 mm off: open", "P\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0.0006\t0\n", {}, {}, 0},
        {"a point repeated straight after itself counts once",
         "P\tA\t0\t0\n\tB\t10\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0\t0\n\tA\t0\t0\n",
         {"P"},
         {{0, 1, 3}},
         0},
        {"two distinct corners only", "P\tA\t0\t0\n\tB\t10\t0\n\tA\t0\t0\n", {}, {}, 1},
        {"a lone point and a pair are no parcels",
         "*\tA\t0\t0\n*\tB\t1\t1\n\tC\t2\t2\n",
         {},
         {},
         0},
        {"open, closed, closed: names from the break marks",
         "*\tX\t5\t5\n\tY\t6\t6\n"
         "669-1\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0\t0\n"
         "1\tD\t0\t0\n\tE\t0\t-10\n\tF\t-10\t-10\n\tD\t0\t0\n",
         {"669-1", "1"},
         {{2, 3, 4}, {6, 7, 8}},
         0},
        {"a coordinate beyond 10^15 m in a closed section",
         "P\tA\t0\t0\n\tB\t2E+15\t0\n\tC\t10\t10\n\tA\t0\t0\n",
         {},
         {},
         1},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParcelSearch found = findParcels(planOf(c.rows));
        ASSERT_EQ(found.parcels.size(), c.parcels.size());
        for (std::size_t i = 0; i < c.parcels.size(); ++i) {
            EXPECT_EQ(found.parcels[i].name, c.parcels[i]);
            std::vector<int> slots;
            for (const Vertex& v : found.parcels[i].vertices) {
                slots.push_back(v.slot);
            }
            EXPECT_EQ(slots, c.slots[i]);
            EXPECT_EQ(found.parcels[i].firstSlot, c.slots[i][0]);
        }
        EXPECT_EQ(found.warnings.size(), c.warnings);
    }
}

TEST(FindParcels, WarningsNameTheSectionsFirstCell) {
    const ParcelSearch found =
        findParcels(planOf("\tQ\t1\t1\nP\tA\t0\t0\n\tB\t10\t0\n\tA\t0\t0\n"));
    ASSERT_EQ(found.warnings.size(), 1u);
    EXPECT_NE(found.warnings[0].find("区画「P」（A7 から）"), std::string::npos)
        << found.warnings[0];
}

TEST(SideLengths, EverySideOfTheParcelInOrder) {
    const Parcel p =
        findParcels(planOf("P\tA\t0\t0\n\tB\t3\t4\n\tC\t3\t6.5\n\tA\t0\t0\n")).parcels.at(0);
    std::vector<std::string> lengths;
    for (const Side& side : sidesOf(p)) {
        lengths.push_back(side.lengthText());
    }
    // √(3² + 6.5²) = 7.158910…
    EXPECT_EQ(lengths, (std::vector<std::string>{"5.000", "2.500", "7.158"}));
}

TEST(AreaCsv, TwoParcelsOfTheSimaExample) {
    const plan::Plan plan = planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"});
    const ParcelSearch found = findParcels(plan);
    ASSERT_EQ(found.parcels.size(), 2u);
    const AreaCsv csv = writeAreaCsv(plan, computeAreas(found.parcels, category("宅地")));
    EXPECT_TRUE(csv.warnings.empty());
    expectGolden(csv.bytes, "area/two_parcels.csv");
}

TEST(AreaCsv, FieldsWithCommasOrQuotesAreQuotedAndEachCornerHasItsMark) {
    // A's mark is on its closing row; a reference point among the rows is no corner.
    const plan::Plan plan = planOf("\"1,2\"\tA \"x\"\t0\t0\n\tB\t10\t0\t\t刻印,十字\n"
                                   "\tS1\t5\t3\t\t金属標\t引照点\n\tC\t10\t10\n"
                                   "\tA \"x\"\t0\t0\t\t石杭\n");
    const AreaCsv csv =
        writeAreaCsv(plan, computeAreas(findParcels(plan).parcels, category("その他")));
    const std::string expected = "\xEF\xBB\xBF"
                                 "区画,点名,X,Y,Yn+1-Yn-1,Xn(Yn+1-Yn-1),境界標\r\n"
                                 "\"1,2\",\"A \"\"x\"\"\",0.000,0.000,-10.000,0.000000,石杭\r\n"
                                 "\"1,2\",B,10.000,0.000,10.000,100.000000,\"刻印,十字\"\r\n"
                                 "\"1,2\",C,10.000,10.000,0.000,0.000000,\r\n"
                                 "\"1,2\",倍面積,,,,100.000000,\r\n"
                                 "\"1,2\",面積,,,,50.000000,\r\n"
                                 "\"1,2\",地積,,,,50,\r\n";
    EXPECT_EQ(csv.bytes, expected);
}

// A spreadsheet opening the file would calculate a name that begins as a formula does (and
// fetch what =HYPERLINK or =WEBSERVICE name); such a name gets a "'" before it, quoted or
// not, and the numbers stay numbers, negative ones included.
TEST(AreaCsv, NamesASpreadsheetWouldCalculateGetAQuoteAndNumbersStayNumbers) {
    plan::Plan plan = planOf("=HYPERLINK(\"x\")\t+1\t-10\t-10\n\t-P\t-20\t-10\n"
                             "\t@A\t-20\t-20\n\tTAB\t-10\t-20\n\t+1\t-10\t-10\n");
    plan.points[3].name = "\tT";
    const AreaCsv csv =
        writeAreaCsv(plan, computeAreas(findParcels(plan).parcels, category("その他")));
    const std::string parcel = "\"'=HYPERLINK(\"\"x\"\")\"";
    for (const std::string& row :
         {parcel + ",'+1,-10.000,-10.000,", parcel + ",'-P,-20.000,-10.000,",
          parcel + ",'@A,-20.000,-20.000,", parcel + ",'\tT,-10.000,-20.000,",
          parcel + ",倍面積,,,,"}) {
        EXPECT_NE(csv.bytes.find("\r\n" + row), std::string::npos) << row << "\n" << csv.bytes;
    }
    ASSERT_EQ(csv.warnings.size(), 1u);
    EXPECT_EQ(csv.warnings[0], "求積表 CSV の名前「=HYPERLINK(\"x\")」「+1」「-P」ほか 2 件は"
                               "「=」「+」「-」「@」やタブ・改行で始まり、表計算ソフトが数式として"
                               "読むため、先頭に「'」を付けて書き出しました。");
}

TEST(AreaCsv, WithoutParcelsTheHeaderAloneAndAWarning) {
    const plan::Plan plan = planOf("*\tA\t0\t0\n\tB\t10\t0\n");
    const AreaCsv csv = writeAreaCsv(plan, {});
    EXPECT_EQ(csv.bytes, "\xEF\xBB\xBF"
                         "区画,点名,X,Y,Yn+1-Yn-1,Xn(Yn+1-Yn-1),境界標\r\n");
    ASSERT_EQ(csv.warnings.size(), 1u);
    EXPECT_EQ(csv.warnings[0], kNoParcelsWarning);
}

} // namespace

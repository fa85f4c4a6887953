#include "parcelsupport.h"

#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/surveymap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

using namespace karumenio;
using namespace karumenio::parcel;
using namespace karumenio::parcel::test;
using plan::WorldPoint;

namespace {

struct Bounds {
    double minX = INFINITY;
    double minY = INFINITY;
    double maxX = -INFINITY;
    double maxY = -INFINITY;
    void add(WorldPoint p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
};

Bounds innerFrame(const plan::Plan& plan) {
    Bounds b;
    for (const WorldPoint& p : plan.frameRectangles[2].vertices) {
        b.add(p);
    }
    return b;
}

SurveyMap mapOf(const plan::Plan& plan, const SurveyMapSettings& settings = {}) {
    return drawSurveyMap(plan, findParcels(plan).parcels, settings);
}

std::vector<const MapText*> textsOn(const SurveyMap& map, MapLayerId layer) {
    std::vector<const MapText*> texts;
    for (const MapText& t : map.texts) {
        if (t.layer == layer) {
            texts.push_back(&t);
        }
    }
    return texts;
}

// The lowest text of these characters on the sheet.
const MapText* findText(const SurveyMap& map, const std::string& text) {
    const MapText* found = nullptr;
    for (const MapText& t : map.texts) {
        if (t.text == text && (found == nullptr || t.at.y < found->at.y)) {
            found = &t;
        }
    }
    return found;
}

double dot(WorldPoint a, WorldPoint b) {
    return a.x * b.x + a.y * b.y;
}

WorldPoint minus(WorldPoint a, WorldPoint b) {
    return {a.x - b.x, a.y - b.y};
}

struct LabelCase {
    const char* angle;
    const char* rows;
};

TEST(SideLengthLabels, AtTheMidpointAlongTheSideReadableAndOutside) {
    // A square and a skewed quadrilateral, each given both ways round, at rotations that
    // turn their sides through every quadrant; the lengths from A on, cut to the millimetre.
    struct Shape {
        const char* rows;
        std::vector<std::string> lengths;
    };
    const Shape shapes[] = {
        {"P\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tD\t0\t10\n\tA\t0\t0\n",
         {"10.000", "10.000", "10.000", "10.000"}},
        {"P\tA\t0\t0\n\tD\t0\t10\n\tC\t10\t10\n\tB\t10\t0\n\tA\t0\t0\n",
         {"10.000", "10.000", "10.000", "10.000"}},
        // √58, 13, √205, √40
        {"P\tA\t0\t0\n\tB\t7\t-3\n\tC\t12\t9\n\tD\t-2\t6\n\tA\t0\t0\n",
         {"7.615", "13.000", "14.317", "6.324"}},
        {"P\tA\t0\t0\n\tD\t-2\t6\n\tC\t12\t9\n\tB\t7\t-3\n\tA\t0\t0\n",
         {"6.324", "14.317", "13.000", "7.615"}},
    };
    for (const char* angle :
         {"0.0000", "30.0000", "90.0000", "135.3000", "180.0000", "270.0000", "-45.0000"}) {
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(std::string(angle) + " " + shape.rows);
            const plan::Plan plan = planOf(shape.rows, {angle, "A1", "100"});
            const Parcel parcel = findParcels(plan).parcels.at(0);
            const SurveyMap map = mapOf(plan);
            const auto labels = textsOn(map, MapLayerId::Lengths);
            ASSERT_EQ(labels.size(), shape.lengths.size());

            std::vector<WorldPoint> corners;
            WorldPoint centroid;
            for (const Vertex& v : parcel.vertices) {
                const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(v.slot)];
                corners.push_back(plan.transform.toWorld(p.x, p.y));
                centroid.x += corners.back().x / static_cast<double>(parcel.vertices.size());
                centroid.y += corners.back().y / static_cast<double>(parcel.vertices.size());
            }
            const double unit = plan.scaleFactor;
            for (std::size_t k = 0; k < corners.size(); ++k) {
                const WorldPoint a = corners[k];
                const WorldPoint b = corners[(k + 1) % corners.size()];
                const MapText& label = *labels[k];
                const double length = std::hypot(b.x - a.x, b.y - a.y);
                EXPECT_EQ(label.text, shape.lengths[k]);
                EXPECT_EQ(label.alignment, TextAlignment::BottomCentre);
                EXPECT_NEAR(label.height, 2.5 * unit, 1e-12);
                // Readable: the baseline never points to the left or straight down.
                EXPECT_GT(label.rotation, -90.0);
                EXPECT_LE(label.rotation, 90.0);
                const double radians = label.rotation * std::numbers::pi / 180;
                const WorldPoint along{std::cos(radians), std::sin(radians)};
                const WorldPoint up{-along.y, along.x};
                const WorldPoint side{(b.x - a.x) / length, (b.y - a.y) / length};
                EXPECT_NEAR(std::fabs(dot(along, side)), 1.0, 1e-12);
                // On the perpendicular through the midpoint, the text's near edge 0.75 mm
                // off the side, the text itself on the side away from the parcel's inside.
                const WorldPoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
                const WorldPoint offset = minus(label.at, middle);
                EXPECT_NEAR(dot(offset, along), 0.0, 1e-9);
                const WorldPoint textMiddle{label.at.x + up.x * label.height / 2,
                                            label.at.y + up.y * label.height / 2};
                const WorldPoint outward = minus(middle, centroid);
                EXPECT_GT(dot(minus(textMiddle, middle), outward), 0.0);
                EXPECT_NEAR(std::fabs(dot(minus(textMiddle, middle), up)),
                            0.75 * unit + label.height / 2, 1e-9);
            }
        }
    }
}

TEST(SideLengthLabels, ASideTwoParcelsShareIsLabelledOnce) {
    const plan::Plan plan =
        planOf("1\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tD\t0\t10\n\tA\t0\t0\n"
               "2\tB\t10\t0\n\tE\t20\t0\n\tF\t20\t10\n\tC\t10\t10\n\tB\t10\t0\n");
    EXPECT_EQ(textsOn(mapOf(plan), MapLayerId::Lengths).size(), 7u);
}

TEST(SurveyMap, TheAreaTableHoldsTheCsvInTheInnerFramesUpperRightCorner) {
    const plan::Plan plan = planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"});
    const ParcelSearch found = findParcels(plan);
    const SurveyMap map = drawSurveyMap(plan, found.parcels, {});
    EXPECT_TRUE(map.fitMessages.empty()) << map.fitMessages.at(0);

    // Every value of the CSV appears as a text of the table.
    const std::string csv =
        writeAreaCsv(plan, computeAreas(found.parcels, kDefaultLandCategory)).bytes.substr(3);
    std::multiset<std::string> texts;
    for (const MapText* t : textsOn(map, MapLayerId::AreaTable)) {
        texts.insert(t->text);
    }
    std::size_t checked = 0;
    for (std::size_t line = 0; line < csv.size();) {
        const std::size_t end = csv.find("\r\n", line);
        std::size_t field = csv.find(',', line) + 1;
        while (field < end) {
            const std::size_t comma = std::min(csv.find(',', field), end);
            const std::string value = csv.substr(field, comma - field);
            if (!value.empty()) {
                EXPECT_TRUE(texts.count(value)) << value;
                ++checked;
            }
            field = comma + 1;
        }
        line = end + 2;
    }
    EXPECT_EQ(checked, 5u + 2 * (4 * 5 + 3 * 2));

    // Its outline shares the inner frame's right and top edges; it stays inside the frame.
    const Bounds inner = innerFrame(plan);
    Bounds table;
    for (const MapText* t : textsOn(map, MapLayerId::AreaTable)) {
        if (t->text == "Xn(Yn+1-Yn-1)" || t->text == "669-2") {
            table.add(t->at);
        }
    }
    const MapText& header = *findText(map, "Xn(Yn+1-Yn-1)");
    EXPECT_LT(header.at.x, inner.maxX);
    EXPECT_GT(header.at.y, inner.maxY - 4.0 * plan.scaleFactor);
    Bounds lines;
    for (const MapLine& line : map.lines) {
        for (const WorldPoint& p : line.vertices) {
            lines.add(p);
        }
    }
    EXPECT_NEAR(lines.maxX, inner.maxX, 1e-9);
    EXPECT_NEAR(lines.maxY, inner.maxY, 1e-9);
    EXPECT_GE(lines.minX, inner.minX);
    EXPECT_GE(lines.minY, inner.minY - 1e-9);
    // Names and point names to the left of the numbers, on one row.
    const MapText& name = *findText(map, "669-1");
    const MapText& x = *findText(map, "-23795.960");
    EXPECT_NEAR(name.at.y, x.at.y, 1e-9);
    EXPECT_LT(name.at.x, x.at.x);
    EXPECT_EQ(x.alignment, TextAlignment::BottomRight);
}

TEST(SurveyMap, NorthArrowPointsToSurveyXInTheUpperLeftCorner) {
    for (const char* angle : {"0.0000", "30.0000", "-120.1530"}) {
        SCOPED_TRACE(angle);
        // The plan draws the line from survey (0, 0) to (100, 0): the arrow must follow it.
        const plan::Plan plan =
            planOf("P\tA\t0\t0\n\tB\t100\t0\n\tC\t0\t100\n\tA\t0\t0\n", {angle, "A1", "500"});
        const WorldPoint a = plan.polylines.at(0).vertices.at(0);
        const WorldPoint b = plan.polylines.at(0).vertices.at(1);
        const WorldPoint north{(b.x - a.x) / 100, (b.y - a.y) / 100};
        const SurveyMap map = mapOf(plan);
        const Bounds inner = innerFrame(plan);
        const MapText& letter = *findText(map, "N");
        // The shaft is the two-point line that ends where the head's triangle starts.
        const MapLine* shaft = nullptr;
        for (const MapLine& line : map.lines) {
            if (line.vertices.size() == 2 && line.vertices[1] == [&] {
                    for (const MapLine& head : map.lines) {
                        if (head.vertices.size() == 4) {
                            return head.vertices[0];
                        }
                    }
                    return WorldPoint{};
                }()) {
                shaft = &line;
            }
        }
        ASSERT_NE(shaft, nullptr);
        const WorldPoint direction = minus(shaft->vertices[1], shaft->vertices[0]);
        const double length = std::hypot(direction.x, direction.y);
        EXPECT_NEAR(length, 20 * plan.scaleFactor, 1e-9);
        EXPECT_NEAR(direction.x / length, north.x, 1e-12);
        EXPECT_NEAR(direction.y / length, north.y, 1e-12);
        // Its middle 15 mm in from the inner frame's upper-left corner; the N upright.
        const WorldPoint middle{(shaft->vertices[0].x + shaft->vertices[1].x) / 2,
                                (shaft->vertices[0].y + shaft->vertices[1].y) / 2};
        EXPECT_NEAR(middle.x, inner.minX + 15 * plan.scaleFactor, 1e-9);
        EXPECT_NEAR(middle.y, inner.maxY - 15 * plan.scaleFactor, 1e-9);
        EXPECT_EQ(letter.rotation, 0.0);
        EXPECT_GT(dot(minus(letter.at, middle), north), 0.0);
    }
}

TEST(SurveyMap, TitleBlockInTheLowerRightCorner) {
    const plan::Plan plan = planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"});
    SurveyMapSettings settings;
    settings.landCategory = findLandCategory("その他");
    settings.titleBlock = {"東京都千代田区一番町", "", "", "2024-05-01", "山田太郎"};
    const SurveyMap map = mapOf(plan, settings);
    struct Row {
        const char* label;
        const char* value;
    };
    const Row rows[] = {
        {"所在", "東京都千代田区一番町"},
        {"地番", "669-1、669-2"},
        {"地目", "その他"},
        {"地積", "669-1 106㎡、669-2 106㎡"},
        {"縮尺", "1/250"},
        {"作成年月日", "2024年5月1日"},
        {"作成者", "山田太郎"},
    };
    const Bounds inner = innerFrame(plan);
    double previousY = INFINITY;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const MapText* label = findText(map, row.label);
        const MapText* value = findText(map, row.value);
        ASSERT_NE(label, nullptr);
        ASSERT_NE(value, nullptr);
        EXPECT_NEAR(label->at.y, value->at.y, 1e-9);
        EXPECT_LT(label->at.x, value->at.x);
        EXPECT_LT(label->at.y, previousY);
        previousY = label->at.y;
    }
    // 座標系 is there with nothing beside it until a system is given.
    const MapText* system = findText(map, "座標系");
    ASSERT_NE(system, nullptr);
    EXPECT_LT(system->at.y, findText(map, "縮尺")->at.y);
    for (const MapText& t : map.texts) {
        EXPECT_FALSE(t.text != "座標系" && std::fabs(t.at.y - system->at.y) < 1e-9) << t.text;
    }
    // The last row sits on the inner frame's bottom edge, the block at its right edge.
    EXPECT_LT(findText(map, "作成者")->at.y - inner.minY, 5 * plan.scaleFactor);
    EXPECT_GT(findText(map, "作成者")->at.x, inner.minX + (inner.maxX - inner.minX) / 2);
    EXPECT_GT(findText(map, "地積測量図")->at.y, findText(map, "所在")->at.y);
}

TEST(SurveyMap, DatesAreShownTheJapaneseWayWhenTheyAreDates) {
    const std::pair<const char*, const char*> cases[] = {
        {"2024-05-01", "2024年5月1日"},     {"2024-12-31", "2024年12月31日"},
        {"令和6年5月1日", "令和6年5月1日"}, {"2024-5-1", "2024-5-1"},
        {"2024-0a-01", "2024-0a-01"},       {"", ""}};
    for (const auto& [given, shown] : cases) {
        EXPECT_EQ(japaneseDate(given), shown) << given;
    }
}

TEST(SurveyMap, TheFitCheckSaysWhatDoesNotFit) {
    // Fits: the example on B4 at 1:250.
    EXPECT_TRUE(
        mapOf(planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"})).fitMessages.empty());

    // A parcel almost as large as the inner frame: the table lies on it.
    const SurveyMap wide = mapOf(planOf(
        "P\tA\t0\t0\n\tB\t0\t70\n\tC\t45\t70\n\tD\t45\t0\n\tA\t0\t0\n", {"0.0000", "B4L", "250"}));
    ASSERT_FALSE(wide.fitMessages.empty());
    EXPECT_NE(wide.fitMessages[0].find("B4（横）・1:250 では求積表が区画の図"), std::string::npos)
        << wide.fitMessages[0];

    // Twenty small parcels: the table runs down into the title block.
    std::string rows;
    for (int i = 0; i < 20; ++i) {
        const std::string x = std::to_string(i * 2);
        rows += "P" + std::to_string(i) + "\tA\t" + x + "\t0\n\tB\t" + x + "\t1\n\tC\t" + x +
                ".5\t1\n\tA\t" + x + "\t0\n";
    }
    const SurveyMap tall = mapOf(planOf(rows, {"0.0000", "B4L", "250"}));
    EXPECT_TRUE(
        std::any_of(tall.fitMessages.begin(), tall.fitMessages.end(), [](const std::string& m) {
            return m.find("表題欄に重なります") != std::string::npos;
        }));
}

TEST(SurveyMap, NoScaleNoMap) {
    // The plan a converter computes holds the points alone, with no sheet and no scale.
    job::Job job(job::Job::History::None);
    job.paste("P\tA\t0\t0\n\tB\t1\t0\n\tC\t0\t1\n\tA\t0\t0\n");
    job.read();
    const plan::Plan points = plan::computePoints(job.table());
    ASSERT_EQ(findParcels(points).parcels.size(), 1u);
    const SurveyMap map = mapOf(points);
    EXPECT_TRUE(map.texts.empty());
    EXPECT_TRUE(map.lines.empty());
    ASSERT_EQ(map.fitMessages.size(), 1u);
    EXPECT_NE(map.fitMessages[0].find("縮尺"), std::string::npos) << map.fitMessages[0];
}

TEST(SurveyMap, TextsAreOneLineWithoutControlCharacters) {
    const plan::Plan plan = planOf("\"A\tB\"\tX\t0\t0\n\tY\t10\t0\n\tZ\t10\t10\n\tX\t0\t0\n");
    ASSERT_EQ(plan.points.at(0).breakMark, "A\tB");
    const SurveyMap map = mapOf(plan);
    EXPECT_NE(findText(map, "A B"), nullptr);
    for (const MapText& t : map.texts) {
        EXPECT_FALSE(t.text.empty());
        EXPECT_EQ(t.text.find_first_of("\t\r\n"), std::string::npos) << t.text;
    }
}

} // namespace

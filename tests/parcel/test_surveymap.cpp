#include "parcelsupport.h"

#include "dxf/dxfwriter.h"

#include "layout/composer.h"
#include "parcel/areacsv.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/subdivision.h"
#include "parcel/subdivisionmap.h"
#include "parcel/surveymap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace karumenio;
using namespace karumenio::parcel;
using namespace karumenio::parcel::test;
using layout::LayerId;
using layout::Point;

using layout::Box;
using layout::SheetLayout;
using layout::Text;

namespace {

SheetLayout mapOf(const plan::Plan& plan, const SurveyMapSettings& settings = {}) {
    return layOutSurveyMap(plan, findParcels(plan).parcels, settings);
}

std::vector<const Text*> textsOn(const layout::Sheet& sheet, LayerId layer) {
    std::vector<const Text*> texts;
    for (const Text& t : sheet.texts) {
        if (t.layer == layer) {
            texts.push_back(&t);
        }
    }
    return texts;
}

// The lowest text of these characters on the sheet (on the layer given).
const Text* findText(const layout::Sheet& sheet, const std::string& text,
                     std::optional<LayerId> layer = std::nullopt) {
    const Text* found = nullptr;
    for (const Text& t : sheet.texts) {
        if (t.text == text && (!layer || t.layer == *layer) &&
            (found == nullptr || t.at.y < found->at.y)) {
            found = &t;
        }
    }
    return found;
}

Point centreOf(const Text& t) {
    return (t.box.corners[0] + t.box.corners[2]) * 0.5;
}

// Where a point of the plan lies on the sheet, for a drawing that keeps its place there.
Point onSheet(const plan::Plan& plan, const layout::Sheet& sheet, int slot) {
    const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
    const plan::WorldPoint world = plan.transform.toWorld(p.x, p.y);
    return {(world.x - sheet.origin.x) / sheet.unit, (world.y - sheet.origin.y) / sheet.unit};
}

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
            const SheetLayout map = mapOf(plan);
            ASSERT_EQ(map.sheets.size(), 1u);
            const layout::Sheet& sheet = map.sheets[0];
            const auto labels = textsOn(sheet, LayerId::Lengths);
            ASSERT_EQ(labels.size(), shape.lengths.size());

            std::vector<Point> corners;
            Point centroid;
            for (const Vertex& v : parcel.vertices) {
                corners.push_back(onSheet(plan, sheet, v.slot));
                centroid =
                    centroid + corners.back() * (1.0 / static_cast<double>(parcel.vertices.size()));
            }
            for (std::size_t k = 0; k < corners.size(); ++k) {
                const Point a = corners[k];
                const Point b = corners[(k + 1) % corners.size()];
                const Text& label = *labels[k];
                EXPECT_EQ(label.text, shape.lengths[k]);
                EXPECT_EQ(label.height, 2.0);
                // Readable: the baseline never points to the left or straight down.
                EXPECT_GT(label.rotation, -90.0);
                EXPECT_LE(label.rotation, 90.0);
                const Point along = layout::directionOf(label.rotation);
                const Point side = layout::unit(b - a);
                EXPECT_NEAR(std::fabs(layout::dot(along, side)), 1.0, 1e-9);
                // On the perpendicular through the midpoint, its near edge 0.75 mm off the
                // side, away from the parcel's inside.
                const Point middle = (a + b) * 0.5;
                const Point offset = centreOf(label) - middle;
                EXPECT_NEAR(layout::dot(offset, along), 0.0, 1e-9);
                EXPECT_GT(layout::dot(offset, middle - centroid), 0.0);
                const double across = std::fabs(layout::dot(offset, layout::leftOf(along)));
                const double height = layout::length(label.box.corners[3] - label.box.corners[0]);
                EXPECT_NEAR(across, 0.75 + height / 2, 1e-9);
            }
        }
    }
}

TEST(SurveyMap, SharedSidesAndCornersAreLabelledOnceAndEveryParcelNamedInside) {
    // Two squares sharing the side B–C; each closing row repeats its first corner.
    const plan::Plan plan =
        planOf("1\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tD\t0\t10\n\tA\t0\t0\n"
               "2\tB\t10\t0\n\tE\t20\t0\n\tF\t20\t10\n\tC\t10\t10\n\tB\t10\t0\n");
    const SheetLayout map = mapOf(plan);
    ASSERT_EQ(map.sheets.size(), 1u);
    const layout::Sheet& sheet = map.sheets[0];
    EXPECT_EQ(textsOn(sheet, LayerId::Lengths).size(), 7u);
    std::multiset<std::string> names;
    for (const Text* t : textsOn(sheet, LayerId::Names)) {
        names.insert(t->text);
    }
    EXPECT_EQ(names, (std::multiset<std::string>{"1", "2", "A", "B", "C", "D", "E", "F"}));
    // Each parcel's name inside it; each corner's name beside it, away from the parcels.
    const Point a = onSheet(plan, sheet, 0);
    const Point c = onSheet(plan, sheet, 2);
    const Point one = centreOf(*findText(sheet, "1"));
    EXPECT_GT(one.x, std::min(a.x, c.x));
    EXPECT_LT(one.x, std::max(a.x, c.x));
    EXPECT_GT(one.y, std::min(a.y, c.y));
    EXPECT_LT(one.y, std::max(a.y, c.y));
    EXPECT_EQ(sheet.marks.size(), 6u);
    EXPECT_EQ(sheet.circles.size(), 6u);
}

TEST(SurveyMap, TheAreaTableHoldsTheCsvInTheInnerFramesUpperRightCorner) {
    const plan::Plan plan = planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"});
    const ParcelSearch found = findParcels(plan);
    const SheetLayout map = layOutSurveyMap(plan, found.parcels, {});
    EXPECT_TRUE(map.messages.empty()) << map.messages.at(0);
    ASSERT_EQ(map.sheets.size(), 1u);
    const layout::Sheet& sheet = map.sheets[0];

    // Every value of the CSV appears as a text of the table.
    const std::string csv =
        writeAreaCsv(plan, computeAreas(found.parcels, kDefaultLandCategory)).bytes.substr(3);
    std::multiset<std::string> texts;
    for (const Text* t : textsOn(sheet, LayerId::Tables)) {
        texts.insert(t->text);
    }
    std::size_t checked = 0;
    for (std::size_t line = 0; line < csv.size();) {
        const std::size_t end = csv.find("\r\n", line);
        std::size_t field = csv.find(',', line) + 1;
        // The table's columns; the CSV's last one, the marks, is drawn at the points.
        for (std::size_t column = 1; field < end && column < kAreaTableColumns.size(); ++column) {
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

    // The table's upper right corner is the inner frame's; its heading row under its title.
    const Text& heading = *findText(sheet, "Xn(Yn+1-Yn-1)");
    const Text& title = *findText(sheet, "座標求積表");
    EXPECT_LT(heading.at.y, title.at.y);
    EXPECT_GT(title.at.y, sheet.inner.maxY - 6.0);
    EXPECT_GT(heading.box.bounds().maxX, sheet.inner.maxX - 30.0);
    double right = 0;
    for (const layout::Line& line : sheet.lines) {
        if (line.layer == LayerId::Tables && line.vertices.size() == 2 &&
            line.vertices[0].y == sheet.inner.maxY) {
            right = std::max(right, std::max(line.vertices[0].x, line.vertices[1].x));
        }
    }
    EXPECT_NEAR(right, sheet.inner.maxX, 1e-9);
    // Names and point names to the left of the numbers, on one row.
    const Text& name = *findText(sheet, "669-1", LayerId::Tables);
    const Text& x = *findText(sheet, "-23795.960");
    EXPECT_NEAR(name.at.y, x.at.y, 1e-9);
    EXPECT_LT(name.at.x, x.at.x);
    EXPECT_EQ(x.alignment, layout::Alignment::BottomRight);
}

TEST(SurveyMap, NorthArrowPointsToSurveyXClearOfTheDrawing) {
    for (const char* angle : {"0.0000", "30.0000", "-120.1530"}) {
        SCOPED_TRACE(angle);
        // The plan draws the line from survey (0, 0) to (100, 0): the arrow must follow it.
        const plan::Plan plan =
            planOf("P\tA\t0\t0\n\tB\t100\t0\n\tC\t0\t100\n\tA\t0\t0\n", {angle, "A1", "500"});
        const plan::WorldPoint a = plan.polylines.at(0).vertices.at(0);
        const plan::WorldPoint b = plan.polylines.at(0).vertices.at(1);
        const Point north{(b.x - a.x) / 100, (b.y - a.y) / 100};
        const SheetLayout map = mapOf(plan);
        const layout::Sheet& sheet = map.sheets.at(0);
        const Text& letter = *findText(sheet, "N");
        // The shaft is the open two-point line of the tables' layer that ends where the
        // head's closed triangle starts.
        const layout::Line* shaft = nullptr;
        const layout::Line* head = nullptr;
        for (const layout::Line& line : sheet.lines) {
            if (line.layer == LayerId::Tables && line.closed && line.vertices.size() == 3) {
                head = &line;
            }
        }
        ASSERT_NE(head, nullptr);
        for (const layout::Line& line : sheet.lines) {
            if (line.vertices.size() == 2 && line.vertices[1] == head->vertices[0]) {
                shaft = &line;
            }
        }
        ASSERT_NE(shaft, nullptr);
        const Point direction = shaft->vertices[1] - shaft->vertices[0];
        EXPECT_NEAR(layout::length(direction), 20.0, 1e-9);
        EXPECT_NEAR(direction.x / 20, north.x, 1e-12);
        EXPECT_NEAR(direction.y / 20, north.y, 1e-12);
        EXPECT_EQ(letter.rotation, 0.0);
        EXPECT_GT(layout::dot(centreOf(letter) - shaft->vertices[1], north), 0.0);
        // In the upper left corner of the space the tables leave, clear of the triangle.
        const Point middle = (shaft->vertices[0] + shaft->vertices[1]) * 0.5;
        EXPECT_LT(middle.x, sheet.drawingArea.centre().x);
        EXPECT_GT(middle.y, sheet.drawingArea.centre().y);
        for (const layout::Line& line : sheet.lines) {
            if (line.layer != LayerId::Boundary) {
                continue;
            }
            for (std::size_t i = 0; i < line.vertices.size(); ++i) {
                EXPECT_FALSE(layout::crosses(
                    line.vertices[i], line.vertices[(i + 1) % line.vertices.size()], letter.box));
            }
        }
    }
}

TEST(SurveyMap, TitleBlockInTheLowerRightCornerWithTheSheetsNumber) {
    const plan::Plan plan = planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"});
    SurveyMapSettings settings;
    settings.landCategory = findLandCategory("その他");
    settings.titleBlock = {"東京都千代田区一番町", "",        "", "2024-05-01", "山田太郎",
                           "2024-04-20",           "鈴木花子"};
    const SheetLayout map = mapOf(plan, settings);
    const layout::Sheet& sheet = map.sheets.at(0);
    struct Row {
        const char* label;
        const char* value;
    };
    const Row rows[] = {
        {"所在", "東京都千代田区一番町"},
        {"地番", "669-1、669-2"},
        {"地目", "その他"},
        {"地積", "669-1 106㎡、669-2 106㎡"},
        {"求積方法", "座標法"},
        {"縮尺", "1/250"},
        {"測量年月日", "2024年4月20日"},
        {"作成年月日", "2024年5月1日"},
        {"申請人", "鈴木花子"},
        {"作成者", "山田太郎"},
    };
    double previousY = INFINITY;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const Text* label = findText(sheet, row.label);
        const Text* value = findText(sheet, row.value);
        ASSERT_NE(label, nullptr);
        ASSERT_NE(value, nullptr);
        EXPECT_NEAR(label->at.y, value->at.y, 1e-9);
        EXPECT_LT(label->at.x, value->at.x);
        EXPECT_LT(label->at.y, previousY);
        previousY = label->at.y;
    }
    // 座標系 is there with nothing beside it until a system is given.
    const Text* system = findText(sheet, "座標系");
    ASSERT_NE(system, nullptr);
    for (const Text& t : sheet.texts) {
        EXPECT_FALSE(t.text != "座標系" && std::fabs(t.at.y - system->at.y) < 1e-9) << t.text;
    }
    // The last row sits on the inner frame's bottom edge, the block at its right edge.
    EXPECT_LT(findText(sheet, "作成者")->at.y - sheet.inner.minY, 5.0);
    EXPECT_GT(findText(sheet, "作成者")->at.x, sheet.inner.centre().x);
    EXPECT_GT(findText(sheet, "地積測量図")->at.y, findText(sheet, "所在")->at.y);
    EXPECT_NE(findText(sheet, "1枚のうち1枚目"), nullptr);
}

TEST(SurveyMap, MarksReferencePointsAndNeighboursOfTheRegistrationExample) {
    const plan::Plan plan = planOfExample("registration_two_parcels.tsv", {"0.0000", "B4L", "250"});
    const std::vector<Parcel> parcels = findParcels(plan).parcels;
    const std::vector<Neighbour> neighbours = {{"670番", "No.3-No.4"},
                                               {"道路", "No.4-No.2"},
                                               {"668番", "No.2-No.6"},
                                               {"水路", "No.6-No.3"}};
    const layout::LayoutRequest request = surveyMapRequest(plan, parcels, {}, neighbours);

    // Each point with its mark's symbol, the 引照点 with that of its class.
    using layout::SymbolId;
    const std::pair<const char*, SymbolId> symbols[] = {
        {"No.1", SymbolId::Square},       {"No.2", SymbolId::DoubleCircle},
        {"No.3", SymbolId::DoubleCircle}, {"No.4", SymbolId::CrossedSquare},
        {"No.5", SymbolId::Triangle},     {"No.6", SymbolId::Cross},
        {"K1", SymbolId::DottedSquare},
    };
    ASSERT_EQ(request.drawings.size(), 1u);
    ASSERT_EQ(request.drawings[0].points.size(), std::size(symbols));
    for (const auto& [name, id] : symbols) {
        const auto& points = request.drawings[0].points;
        const auto point =
            std::find_if(points.begin(), points.end(),
                         [name = name](const layout::PointPiece& p) { return p.name == name; });
        ASSERT_NE(point, points.end()) << name;
        EXPECT_EQ(point->symbol, id) << name;
    }
    // The legend of the kinds used, each with the symbol drawn at its points; the reference
    // point listed with its coordinates, never in the area table.
    ASSERT_EQ(request.tables.size(), 3u);
    EXPECT_EQ(request.tables[0].title, "座標求積表");
    const std::vector<std::vector<std::string>> legend = {{"四角", "コンクリート杭"},
                                                          {"斜線入り四角", "石杭"},
                                                          {"二重丸", "金属標"},
                                                          {"三角", "プラスチック杭"},
                                                          {"斜め十字", "刻印"}};
    EXPECT_EQ(request.tables[1].rows, legend);
    const std::vector<std::vector<std::string>> listed = {
        {"点入り四角", "K1", "-23799.000", "-32828.000", "引照点"}};
    EXPECT_EQ(request.tables[2].rows, listed);
    for (const std::vector<std::string>& row : request.tables[0].rows) {
        EXPECT_NE(row[1], "K1");
    }

    // Each lot outside the longest side of its stretch, along it, meeting no other text.
    const SheetLayout map = layout::composeLayout(request);
    ASSERT_EQ(map.sheets.size(), 1u);
    EXPECT_TRUE(map.messages.empty()) << map.messages.at(0);
    const layout::Sheet& sheet = map.sheets[0];
    auto at = [&](const char* name) {
        for (std::size_t slot = 0; slot < plan.points.size(); ++slot) {
            if (plan.points[slot].name == name) {
                return onSheet(plan, sheet, static_cast<int>(slot));
            }
        }
        return Point{};
    };
    struct Along {
        const char* lot;
        const char* from;
        const char* to;
        // A corner of the parcel across the side.
        const char* inside;
    };
    const Along sides[] = {{"670番", "No.3", "No.4", "No.1"},
                           {"道路", "No.1", "No.2", "No.3"},
                           {"668番", "No.2", "No.5", "No.6"},
                           {"水路", "No.6", "No.3", "No.2"}};
    for (const Along& side : sides) {
        SCOPED_TRACE(side.lot);
        const Text* lot = findText(sheet, side.lot, LayerId::Names);
        ASSERT_NE(lot, nullptr);
        const Point a = at(side.from);
        const Point b = at(side.to);
        const Point direction = layout::unit(b - a);
        const Point textDirection = layout::unit(lot->box.corners[1] - lot->box.corners[0]);
        EXPECT_NEAR(std::fabs(dot(direction, textDirection)), 1.0, 1e-9);
        const Point normal = layout::leftOf(direction);
        const double across = dot(centreOf(*lot) - a, normal);
        EXPECT_LT(across * dot(at(side.inside) - a, normal), 0.0) << "not outside";
        for (const Text& other : sheet.texts) {
            EXPECT_TRUE(&other == lot || !layout::overlaps(other.box, lot->box)) << other.text;
        }
    }
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

TEST(SurveyMap, WhatDoesNotFitGoesOnFurtherSheetsAndTheScaleThatHoldsItIsOffered) {
    // The example fits on B4 at 1:250 on one sheet.
    const SheetLayout fits = mapOf(planOfExample("two_parcels.sim", {"0.0000", "B4L", "250"}));
    EXPECT_EQ(fits.sheets.size(), 1u);
    EXPECT_EQ(fits.fit.fittingScale, nullptr);

    // A parcel of 70 m by 45 m is too large for the space beside the table at 1:250; 1:500
    // holds it (1:300 does not).
    const SheetLayout wide = mapOf(planOf(
        "P\tA\t0\t0\n\tB\t0\t70\n\tC\t45\t70\n\tD\t45\t0\n\tA\t0\t0\n", {"0.0000", "B4L", "250"}));
    EXPECT_EQ(wide.fit.drawingsTooLarge, 1);
    ASSERT_NE(wide.fit.fittingScale, nullptr);
    EXPECT_EQ(wide.fit.fittingScale->token, "500");
    ASSERT_FALSE(wide.messages.empty());
    EXPECT_NE(wide.messages[0].find("B4（横）・1:250 では区画の図が"), std::string::npos)
        << wide.messages[0];
    EXPECT_NE(wide.messages[0].find("縮尺 1:500 なら"), std::string::npos) << wide.messages[0];

    // Forty small parcels: the table goes on in further columns and sheets, each with its
    // title block and number; the rows all stand in the tables, none twice.
    std::string rows;
    for (int i = 0; i < 40; ++i) {
        const std::string x = std::to_string(i * 2);
        rows += "P" + std::to_string(i) + "\tA\t" + x + "\t0\n\tB\t" + x + "\t1\n\tC\t" + x +
                ".5\t1\n\tA\t" + x + "\t0\n";
    }
    const SheetLayout tall = mapOf(planOf(rows, {"0.0000", "B4L", "250"}));
    ASSERT_GE(tall.sheets.size(), 2u);
    std::size_t totals = 0;
    for (const layout::Sheet& sheet : tall.sheets) {
        const std::string number =
            layout::sheetNumberText(sheet.number, static_cast<int>(tall.sheets.size()));
        EXPECT_NE(findText(sheet, number), nullptr) << number;
        EXPECT_NE(findText(sheet, "地積測量図"), nullptr);
        for (const Text* t : textsOn(sheet, LayerId::Tables)) {
            totals += t->text == "倍面積" ? 1 : 0;
        }
    }
    EXPECT_EQ(totals, 40u);
    EXPECT_TRUE(std::any_of(tall.messages.begin(), tall.messages.end(), [](const std::string& m) {
        return m.find("求積表が長いため") != std::string::npos;
    }));
}

TEST(SurveyMap, ParcelsFarApartGetSheetsOfTheirOwnSideBySide) {
    const plan::Plan plan = planOf("1\tA\t0\t0\n\tB\t10\t0\n\tC\t10\t10\n\tA\t0\t0\n"
                                   "2\tD\t0\t900\n\tE\t10\t900\n\tF\t10\t910\n\tD\t0\t900\n",
                                   {"0.0000", "B4L", "250"});
    const SheetLayout map = mapOf(plan);
    ASSERT_EQ(map.sheets.size(), 2u);
    EXPECT_EQ(map.fit.drawingsTooLarge, 0);
    // The first keeps the plan's place for its parcel; the second stands to its right.
    const layout::Sheet& first = map.sheets[0];
    const layout::Sheet& second = map.sheets[1];
    EXPECT_TRUE(
        first.drawingArea.contains(Box::of(onSheet(plan, first, 0), onSheet(plan, first, 2))));
    EXPECT_GT(second.origin.x, first.toWorld({first.outer.maxX, 0}).x);
    EXPECT_EQ(second.origin.y, first.origin.y);
    EXPECT_EQ(first.marks.size(), 3u);
    EXPECT_EQ(second.marks.size(), 3u);
    EXPECT_EQ(second.marks[0].slot, 4);
}

TEST(SurveyMap, TheDxfOfTheTwoParcelSheetIsAsRecorded) {
    // The SIMA example's two parcels at 30° on B4 at 1:250, with every title field filled.
    const plan::Plan plan = planOfExample("two_parcels.sim", {"30.0000", "B4L", "250"});
    SurveyMapSettings settings;
    settings.titleBlock = {"東京都千代田区一番町", "", "第IX系", "2024-05-01", "山田太郎", "", ""};
    const SheetLayout map = mapOf(plan, settings);
    ASSERT_EQ(map.sheets.size(), 1u);
    EXPECT_EQ(map.fit.overlappingTexts, 0);
    expectGolden(dxf::writeDxf(plan, map), "surveymap/two_parcels_b4_250.dxf");
}

TEST(SurveyMap, NoScaleNoMap) {
    // The plan a converter computes holds the points alone, with no sheet and no scale.
    job::Job job(job::Job::History::None);
    job.paste("P\tA\t0\t0\n\tB\t1\t0\n\tC\t0\t1\n\tA\t0\t0\n");
    job.read();
    const plan::Plan points = plan::computePoints(job.table());
    ASSERT_EQ(findParcels(points).parcels.size(), 1u);
    const SheetLayout map = mapOf(points);
    EXPECT_TRUE(map.sheets.empty());
    ASSERT_EQ(map.messages.size(), 1u);
    EXPECT_NE(map.messages[0].find("縮尺"), std::string::npos) << map.messages[0];
}

TEST(SurveyMap, TextsAreOneLineWithoutControlCharacters) {
    const plan::Plan plan = planOf("\"A\tB\"\tX\t0\t0\n\tY\t10\t0\n\tZ\t10\t10\n\tX\t0\t0\n");
    ASSERT_EQ(plan.points.at(0).breakMark, "A\tB");
    const SheetLayout map = mapOf(plan);
    EXPECT_NE(findText(map.sheets.at(0), "A B"), nullptr);
    for (const Text& t : map.sheets.at(0).texts) {
        EXPECT_FALSE(t.text.empty());
        EXPECT_EQ(t.text.find_first_of("\t\r\n"), std::string::npos) << t.text;
    }
}

} // namespace

namespace {

// Whether the point lies inside the polygon (a ray to the right crosses its sides an odd number
// of times).
bool insidePolygon(plan::WorldPoint p, const std::vector<plan::WorldPoint>& polygon) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const plan::WorldPoint& a = polygon[i];
        const plan::WorldPoint& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
            inside = !inside;
        }
    }
    return inside;
}

} // namespace

TEST(SurveyMap, SubdivisionShowsTheParentTheDividingLinesEachLotAndTheSummary) {
    const plan::Plan plan = planOfExample("subdivision_3lots.tsv", {"0.0000", "A3", "250"});
    const std::vector<Parcel> parcels = findParcels(plan).parcels;
    SubdivisionSettings settings;
    settings.parent = "670";
    settings.remainder = "670-1";
    const SubdivisionCheck check =
        checkSubdivision(plan, parcels, computeAreas(parcels, kLandCategories[0]), settings);
    ASSERT_EQ(check.lots.size(), 3u);
    const layout::LayoutRequest request = surveyMapRequest(plan, parcels, {}, {}, &check);
    ASSERT_EQ(request.drawings.size(), 1u);
    const layout::Drawing& drawing = request.drawings[0];

    // The parent's outline alone is closed and continuous; the three dividing lines
    // (K2–K9–K7 and K3–K6) are open and in their own style.
    std::size_t closed = 0;
    std::size_t dividing = 0;
    for (const layout::Outline& outline : drawing.outlines) {
        EXPECT_EQ(outline.closed, outline.style == layout::LineStyleId::Continuous);
        closed += outline.closed ? 1 : 0;
        dividing += outline.style == kDividingLineStyle ? 1 : 0;
    }
    EXPECT_EQ(closed, 1u);
    EXPECT_EQ(dividing, 3u);

    // One caption per lot, laid out inside that lot and nowhere else.
    const struct {
        const char* caption;
        std::size_t parcel;
    } lots[] = {{"① 670-1（残地）", 1}, {"② 670-2", 2}, {"③ 670-3", 3}};
    ASSERT_EQ(drawing.areaTexts.size(), std::size(lots));
    const SheetLayout map = layOutSurveyMap(plan, parcels, {}, {}, &check);
    EXPECT_EQ(map.fit.overlappingTexts, 0);
    // The sheet a text stands on, and the text.
    const auto find = [&](const std::string& text) -> std::pair<const layout::Sheet*, const Text*> {
        for (const layout::Sheet& sheet : map.sheets) {
            if (const Text* found = findText(sheet, text)) {
                return {&sheet, found};
            }
        }
        return {nullptr, nullptr};
    };
    for (const auto& lot : lots) {
        const auto [sheet, text] = find(lot.caption);
        ASSERT_NE(text, nullptr) << lot.caption;
        const plan::WorldPoint centre = sheet->toWorld(centreOf(*text));
        for (std::size_t p = 1; p < parcels.size(); ++p) {
            std::vector<plan::WorldPoint> ring;
            for (const Vertex& v : parcels[p].vertices) {
                const plan::PlanPoint& point = plan.points[static_cast<std::size_t>(v.slot)];
                ring.push_back(plan.transform.toWorld(point.x, point.y));
            }
            EXPECT_EQ(insidePolygon(centre, ring), p == lot.parcel) << lot.caption << " " << p;
        }
    }

    // A table per lot after the parent's, then the summary, all on the sheet.
    const char* const titles[] = {"座標求積表（分筆前 670）", "座標求積表（① 670-1（残地））",
                                  "座標求積表（② 670-2）", "座標求積表（③ 670-3）", "分筆の面積"};
    for (const char* title : titles) {
        EXPECT_NE(find(title).second, nullptr) << title;
    }
    for (const SummaryRow& row : subdivisionSummary(check)) {
        EXPECT_NE(find(std::string(row.label)).second, nullptr) << row.label;
        EXPECT_NE(find(row.value).second, nullptr) << row.value;
    }
    EXPECT_EQ(subdivisionSummary(check)[2].value, "一致");
    // Every text of the sheet, the captions and the summary's areas too, is in the code page
    // KYUSEKI.SCR writes: none of them comes out as "?".
    std::vector<std::string> unmappable;
    warnUnmappableTexts(map, unmappable);
    EXPECT_TRUE(unmappable.empty()) << unmappable.front();
}

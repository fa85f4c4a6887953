#include "surveymap.h"

#include "mapdrawing.h"
#include "parcel.h"
#include "parcelarea.h"

#include "plan/drawingscale.h"
#include "plan/labelencoding.h"
#include "plan/papersize.h"
#include "plan/plan.h"
#include "plan/textcolumns.h"

#include <algorithm>
#include <cmath>

namespace karumenio::parcel {

namespace {

// Whether the segment from a to b passes through the box (clipped against each side in turn).
bool crosses(plan::WorldPoint a, plan::WorldPoint b, const Box& box) {
    double from = 0.0;
    double to = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double start[2] = {a.x, a.y};
    const double low[2] = {box.minX, box.minY};
    const double high[2] = {box.maxX, box.maxY};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (start[axis] <= low[axis] || start[axis] >= high[axis]) {
                return false;
            }
            continue;
        }
        double t1 = (low[axis] - start[axis]) / d[axis];
        double t2 = (high[axis] - start[axis]) / d[axis];
        if (t1 > t2) {
            std::swap(t1, t2);
        }
        from = std::max(from, t1);
        to = std::min(to, t2);
        if (from >= to) {
            return false;
        }
    }
    return true;
}

// What the plan and the side lengths cover: points, names, circles and the lines between.
class DrawnParts {
  public:
    DrawnParts(const plan::Plan& plan, const std::vector<Box>& lengths) : m_plan(plan) {
        for (const plan::PlanPoint& p : plan.points) {
            m_points.push_back(plan.transform.toWorld(p.x, p.y));
        }
        // The point names as the plan's own fit check estimates them.
        for (const plan::Label& label : plan.labels) {
            Box box;
            box.add(label.insertion);
            box.add({label.insertion.x + label.height / 2 * plan::textColumns(label.text).total(),
                     label.insertion.y + label.height});
            m_boxes.push_back(box);
        }
        for (const plan::Circle& circle : plan.circles) {
            const double r = std::fabs(circle.radius);
            Box box;
            box.add({circle.centre.x - r, circle.centre.y - r});
            box.add({circle.centre.x + r, circle.centre.y + r});
            m_boxes.push_back(box);
        }
        m_boxes.insert(m_boxes.end(), lengths.begin(), lengths.end());
    }

    bool covers(const Box& part) const {
        if (part.empty) {
            return false;
        }
        for (const plan::WorldPoint& p : m_points) {
            if (part.minX < p.x && p.x < part.maxX && part.minY < p.y && p.y < part.maxY) {
                return true;
            }
        }
        for (const Box& box : m_boxes) {
            if (box.overlaps(part)) {
                return true;
            }
        }
        for (const plan::Polyline& line : m_plan.polylines) {
            for (std::size_t i = 1; i < line.vertices.size(); ++i) {
                if (crosses(line.vertices[i - 1], line.vertices[i], part)) {
                    return true;
                }
            }
        }
        return false;
    }

  private:
    const plan::Plan& m_plan;
    std::vector<plan::WorldPoint> m_points;
    std::vector<Box> m_boxes;
};

std::string sheetName(const plan::Plan& plan) {
    if (plan.paper == nullptr || plan.scale == nullptr) {
        return {};
    }
    return std::string(plan.paper->listText) + "・" + std::string(plan.scale->listText) + " では";
}

constexpr std::string_view kRemedy = "用紙を大きくするか、縮尺を小さくして下さい。";

} // namespace

SurveyMap drawSurveyMap(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                        const SurveyMapSettings& settings) {
    SurveyMap map;
    if (!(plan.scaleFactor > 0) || !std::isfinite(plan.scaleFactor)) {
        map.fitMessages.emplace_back(
            "縮尺が選ばれていないため、地積測量図（辺長・求積表・方位・表題欄）を描けません。");
        return map;
    }
    const LandCategory& category =
        settings.landCategory != nullptr ? *settings.landCategory : kDefaultLandCategory;
    const std::vector<ParcelArea> areas = computeAreas(parcels, category);
    // A length and a table row of six cells per corner, three totals per parcel.
    std::size_t corners = 0;
    for (const Parcel& parcel : parcels) {
        corners += parcel.vertices.size();
    }
    map.texts.reserve(7 * corners + 18 * parcels.size() + 32);
    map.lines.reserve(corners + 3 * parcels.size() + 32);
    MapDrawing drawing(plan, map);
    const std::vector<Box> lengths = drawSideLengths(drawing, parcels, areas);
    const Box table = drawAreaTable(drawing, areas);
    const Box arrow = drawNorthArrow(drawing);
    const Box title =
        drawTitleBlock(drawing, titleRows(settings.titleBlock, category, areas, plan.scaleFactor));

    const std::string sheet = sheetName(plan);
    const Box& inner = drawing.innerFrame();
    if (table.minX < inner.minX || title.minX < inner.minX) {
        map.fitMessages.push_back(sheet + "求積表または表題欄が内枠の幅に収まりません。" +
                                  std::string(kRemedy));
    }
    if (table.overlaps(title)) {
        map.fitMessages.push_back(sheet + "求積表が長く、内枠の右下の表題欄に重なります。" +
                                  std::string(kRemedy));
    }
    const DrawnParts drawn(plan, lengths);
    struct Part {
        const Box& box;
        std::string_view name;
    };
    for (const Part& part :
         {Part{table, "求積表"}, Part{title, "表題欄"}, Part{arrow, "方位記号"}}) {
        if (drawn.covers(part.box)) {
            map.fitMessages.push_back(sheet + std::string(part.name) +
                                      "が区画の図（測点・線・点名・辺長）に重なります。" +
                                      std::string(kRemedy));
        }
    }
    return map;
}

void warnUnmappableTexts(const SurveyMap& map, std::vector<std::string>& warnings) {
    for (const MapText& text : map.texts) {
        const std::string characters = plan::unmappableCharacters(text.text);
        if (!characters.empty()) {
            warnings.push_back("地積測量図の文字「" + text.text + "」の" + characters +
                               "はシフトJISで表せないため、「?」として書き出しました。");
        }
    }
}

} // namespace karumenio::parcel

#include "surveymap.h"

#include "areacsv.h"
#include "millimetres.h"
#include "parcel.h"
#include "parcelarea.h"
#include "sidelength.h"

#include "layout/composer.h"
#include "plan/labelencoding.h"
#include "plan/plan.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

namespace karumenio::parcel {

namespace {

using Position = std::pair<std::int64_t, std::int64_t>;
using SideKey = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

Position positionOf(const Vertex& v) {
    return {v.x, v.y};
}

// The same for a side run either way.
SideKey keyOf(const Side& side) {
    const Position from = positionOf(side.from);
    const Position to = positionOf(side.to);
    const auto [low, high] = std::minmax(from, to);
    return {low.first, low.second, high.first, high.second};
}

plan::WorldPoint worldOf(const plan::Plan& plan, const Vertex& v) {
    const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(v.slot)];
    return plan.transform.toWorld(p.x, p.y);
}

layout::Point pointOf(plan::WorldPoint p) {
    return {p.x, p.y};
}

// The groups of parcels that share a corner, in the order of their first parcels.
std::vector<std::vector<std::size_t>> touchingGroups(const std::vector<Parcel>& parcels) {
    std::vector<std::size_t> leader(parcels.size());
    std::iota(leader.begin(), leader.end(), std::size_t{0});
    const auto find = [&](std::size_t i) {
        while (leader[i] != i) {
            i = leader[i] = leader[leader[i]];
        }
        return i;
    };
    std::map<Position, std::size_t> owner;
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        for (const Vertex& v : parcels[i].vertices) {
            const auto [at, added] = owner.emplace(positionOf(v), i);
            if (!added) {
                const std::size_t a = find(at->second);
                const std::size_t b = find(i);
                leader[std::max(a, b)] = std::min(a, b);
            }
        }
    }
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::size_t, std::size_t> groupOf;
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        const auto [at, added] = groupOf.emplace(find(i), groups.size());
        if (added) {
            groups.emplace_back();
        }
        groups[at->second].push_back(i);
    }
    return groups;
}

// The pieces of one group of touching parcels.
layout::Drawing drawingOf(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                          const std::vector<std::size_t>& group) {
    layout::Drawing drawing;
    std::map<Position, std::size_t> pointAt;
    std::set<SideKey> labelled;
    for (const std::size_t index : group) {
        const Parcel& parcel = parcels[index];
        std::vector<plan::WorldPoint> ring;
        for (const Vertex& v : parcel.vertices) {
            ring.push_back(worldOf(plan, v));
        }
        // Which side of its sides the parcel lies on, in the world.
        double twiceArea = 0.0;
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const plan::WorldPoint& a = ring[k];
            const plan::WorldPoint& b = ring[(k + 1) % ring.size()];
            twiceArea += a.x * b.y - b.x * a.y;
        }
        const bool outsideOnTheLeft = twiceArea < 0;
        const auto outwardOf = [&](plan::WorldPoint a, plan::WorldPoint b) {
            const layout::Point left = layout::leftOf(layout::unit(pointOf(b) - pointOf(a)));
            return outsideOnTheLeft ? left : left * -1.0;
        };

        drawing.outlines.push_back({ring, true});
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const Vertex& v = parcel.vertices[k];
            const plan::WorldPoint before = ring[(k + ring.size() - 1) % ring.size()];
            const plan::WorldPoint after = ring[(k + 1) % ring.size()];
            const layout::Point outward = outwardOf(before, ring[k]) + outwardOf(ring[k], after);
            const auto [at, added] = pointAt.emplace(positionOf(v), drawing.points.size());
            if (added) {
                drawing.points.push_back({ring[k],
                                          plan.points[static_cast<std::size_t>(v.slot)].label,
                                          layout::SymbolId::BoundaryPoint,
                                          {},
                                          v.slot});
            }
            // A corner two parcels share prefers the way out of both.
            plan::WorldPoint& preferred = drawing.points[at->second].outward;
            preferred.x += outward.x;
            preferred.y += outward.y;
        }
        for (const Side& side : sidesOf(parcel)) {
            if (!labelled.insert(keyOf(side)).second) {
                continue;
            }
            drawing.stretchTexts.push_back({{worldOf(plan, side.from), worldOf(plan, side.to)},
                                            side.lengthText(),
                                            layout::TextRole::SideLength,
                                            layout::LayerId::Lengths,
                                            outsideOnTheLeft});
        }
        drawing.areaTexts.push_back({ring, parcel.name});
    }
    for (layout::PointPiece& point : drawing.points) {
        const layout::Point direction = layout::unit(pointOf(point.outward));
        point.outward = {direction.x, direction.y};
    }
    return drawing;
}

// The area table: the CSV's header and rows, the parcel's name on its first row only.
layout::Table areaTable(const plan::Plan& plan, const std::vector<ParcelArea>& areas) {
    layout::Table table;
    table.title = "求積表";
    for (std::size_t c = 0; c < kAreaTableColumns.size(); ++c) {
        // The parcel's name stands on its first row, and again where the table goes on.
        table.columns.push_back({std::string(kAreaTableColumns[c]),
                                 c < 2 ? layout::CellAlignment::Left : layout::CellAlignment::Right,
                                 c == 0});
    }
    for (const ParcelArea& area : areas) {
        bool first = true;
        for (const AreaRow& row : area.rows) {
            table.rows.push_back({first ? area.name : std::string(),
                                  plan.points[static_cast<std::size_t>(row.vertex.slot)].label,
                                  metresText(row.vertex.x), metresText(row.vertex.y),
                                  metresText(row.yDifference), row.term.fixedPoint(6)});
            first = false;
        }
        for (const ParcelArea::Total& total : area.totals()) {
            table.rows.push_back({"", std::string(total.name), "", "", "", total.value});
        }
    }
    return table;
}

} // namespace

layout::LayoutRequest surveyMapRequest(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                       const SurveyMapSettings& settings) {
    const LandCategory& category =
        settings.landCategory != nullptr ? *settings.landCategory : kDefaultLandCategory;
    const std::vector<ParcelArea> areas = computeAreas(parcels, category);
    layout::LayoutRequest request;
    request.paper = plan.paper;
    request.scale = plan.scale;
    request.unit = plan.scaleFactor;
    // Survey X, the direction the rotated plan shows as north.
    request.north = plan.transform.toWorld(1, 0);
    for (const plan::WorldPoint& corner : plan.frameRectangles[0].vertices) {
        request.centre.x += corner.x / static_cast<double>(plan.frameRectangles[0].vertices.size());
        request.centre.y += corner.y / static_cast<double>(plan.frameRectangles[0].vertices.size());
    }
    for (const std::vector<std::size_t>& group : touchingGroups(parcels)) {
        request.drawings.push_back(drawingOf(plan, parcels, group));
    }
    request.tables.push_back(areaTable(plan, areas));
    request.titleBlock.heading = "地積測量図";
    for (const TitleRow& row : titleRows(settings.titleBlock, category, areas, plan.scaleFactor)) {
        // The lot numbers and areas of many parcels are those of the area table.
        const bool perParcel = row.label == "地番" || row.label == "地積";
        request.titleBlock.fields.push_back(
            {std::string(row.label), row.value, perParcel ? "求積表のとおり" : ""});
    }
    return request;
}

layout::SheetLayout layOutSurveyMap(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                    const SurveyMapSettings& settings) {
    return layout::composeLayout(surveyMapRequest(plan, parcels, settings));
}

void warnUnmappableTexts(const layout::SheetLayout& map, std::vector<std::string>& warnings) {
    std::set<std::string> warned;
    for (const layout::Sheet& sheet : map.sheets) {
        for (const layout::Text& text : sheet.texts) {
            const std::string characters = plan::unmappableCharacters(text.text);
            if (!characters.empty() && warned.insert(text.text).second) {
                warnings.push_back("地積測量図の文字「" + text.text + "」の" + characters +
                                   "はシフトJISで表せないため、「?」として書き出しました。");
            }
        }
    }
}

} // namespace karumenio::parcel

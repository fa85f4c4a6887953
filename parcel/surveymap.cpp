#include "surveymap.h"

#include "areacsv.h"
#include "boundarymarks.h"
#include "millimetres.h"
#include "parcel.h"
#include "parcelarea.h"
#include "sidelength.h"
#include "subdivision.h"
#include "subdivisionmap.h"

#include "layout/composer.h"
#include "plan/labelencoding.h"
#include "plan/plan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
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

// The symbol each mark's kind is drawn with; a point without a mark is a plain boundary point.
layout::SymbolId symbolOf(points::MarkSymbol mark) {
    using layout::SymbolId;
    using points::MarkSymbol;
    constexpr std::array<std::pair<MarkSymbol, SymbolId>, 10> kShapes{{
        {MarkSymbol::Square, SymbolId::Square},
        {MarkSymbol::CrossedSquare, SymbolId::CrossedSquare},
        {MarkSymbol::DoubleCircle, SymbolId::DoubleCircle},
        {MarkSymbol::CrossedCircle, SymbolId::CrossedCircle},
        {MarkSymbol::Circle, SymbolId::DottedCircle},
        {MarkSymbol::Triangle, SymbolId::Triangle},
        {MarkSymbol::Diamond, SymbolId::Diamond},
        {MarkSymbol::Cross, SymbolId::Cross},
        {MarkSymbol::None, SymbolId::BoundaryPoint},
        {MarkSymbol::Other, SymbolId::Asterisk},
    }};
    for (const auto& [from, to] : kShapes) {
        if (from == mark) {
            return to;
        }
    }
    return SymbolId::BoundaryPoint;
}

layout::SymbolId symbolOf(points::PointClassId pointClass) {
    switch (pointClass) {
    case points::PointClassId::Reference:
        return layout::SymbolId::DottedSquare;
    case points::PointClassId::Control:
        return layout::SymbolId::DottedTriangle;
    case points::PointClassId::Boundary:
        break;
    }
    return layout::SymbolId::BoundaryPoint;
}

// The symbol at each corner that has a mark.
std::map<Position, layout::SymbolId> markSymbols(const BoundaryMarks& marks) {
    std::map<Position, layout::SymbolId> symbols;
    for (const BoundaryPoint& point : marks.points) {
        if (point.hasMark()) {
            symbols[positionOf(point.vertex)] =
                symbolOf(point.kind != nullptr ? point.kind->symbol : points::MarkSymbol::Other);
        }
    }
    return symbols;
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

// What a subdivision changes in its parcels' pieces: the new lots draw no outline of their own
// (the parent's outline and the dividing lines stand for them) and carry their captions; the
// parent carries no text, its lots fill it.
struct SubdivisionRoles {
    std::optional<std::size_t> parent;
    std::map<std::size_t, std::string> captions;
};

SubdivisionRoles rolesOf(const std::vector<Parcel>& parcels, const SubdivisionCheck* check) {
    SubdivisionRoles roles;
    if (check == nullptr || !check->parent) {
        return roles;
    }
    roles.parent = check->parent;
    for (const NewLot& lot : check->lots) {
        roles.captions[lot.parcel] = lotCaption(parcels[lot.parcel], lot);
    }
    return roles;
}

// The pieces of one group of touching parcels: each corner with its mark's symbol, and the
// neighbouring lots listed along their stretches, outside, after the sides' lengths.
layout::Drawing drawingOf(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                          const std::vector<std::size_t>& group,
                          const std::map<Position, layout::SymbolId>& symbols,
                          const std::vector<NeighbourStretch>& neighbours,
                          const SubdivisionRoles& roles) {
    layout::Drawing drawing;
    std::vector<layout::StretchText> lots;
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

        const auto caption = roles.captions.find(index);
        const bool newLot = caption != roles.captions.end();
        if (!newLot) {
            drawing.outlines.push_back({ring, true});
        }
        for (std::size_t k = 0; k < ring.size(); ++k) {
            const Vertex& v = parcel.vertices[k];
            const plan::WorldPoint before = ring[(k + ring.size() - 1) % ring.size()];
            const plan::WorldPoint after = ring[(k + 1) % ring.size()];
            const layout::Point outward = outwardOf(before, ring[k]) + outwardOf(ring[k], after);
            const auto [at, added] = pointAt.emplace(positionOf(v), drawing.points.size());
            if (added) {
                const auto symbol = symbols.find(positionOf(v));
                drawing.points.push_back(
                    {ring[k],
                     plan.points[static_cast<std::size_t>(v.slot)].label,
                     symbol != symbols.end() ? symbol->second : layout::SymbolId::BoundaryPoint,
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
        if (newLot) {
            drawing.areaTexts.push_back({ring, caption->second});
        } else if (index != roles.parent) {
            drawing.areaTexts.push_back({ring, parcel.name});
        }
        for (const NeighbourStretch& neighbour : neighbours) {
            if (neighbour.parcel != index) {
                continue;
            }
            layout::StretchText lot{{},
                                    neighbour.lot,
                                    layout::TextRole::NeighbourLot,
                                    layout::LayerId::Names,
                                    outsideOnTheLeft,
                                    true};
            for (std::size_t k = 0; k <= neighbour.sideCount; ++k) {
                lot.stretch.push_back(ring[(neighbour.firstSide + k) % ring.size()]);
            }
            lots.push_back(std::move(lot));
        }
    }
    drawing.stretchTexts.insert(drawing.stretchTexts.end(), lots.begin(), lots.end());
    for (layout::PointPiece& point : drawing.points) {
        const layout::Point direction = layout::unit(pointOf(point.outward));
        point.outward = {direction.x, direction.y};
    }
    return drawing;
}

// Each reference point with its symbol and name, in the drawing whose corner is nearest.
void addReferencePoints(const plan::Plan& plan, const BoundaryMarks& marks,
                        std::vector<layout::Drawing>& drawings) {
    for (const ReferencePoint& reference : marks.referencePoints) {
        const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(reference.slot)];
        const plan::WorldPoint at = plan.transform.toWorld(p.x, p.y);
        std::size_t nearest = 0;
        double best = INFINITY;
        for (std::size_t d = 0; d < drawings.size(); ++d) {
            for (const layout::PointPiece& corner : drawings[d].points) {
                const double distance = layout::length(pointOf(corner.at) - pointOf(at));
                if (distance < best) {
                    best = distance;
                    nearest = d;
                }
            }
        }
        if (drawings.empty()) {
            drawings.emplace_back();
        }
        drawings[nearest].points.push_back(
            {at, p.label, symbolOf(reference.pointClass), {}, reference.slot});
    }
}

// The legend of the marks used: each kind's symbol and text.
layout::Table legendTable(const BoundaryMarks& marks) {
    layout::Table table;
    table.title = "境界標";
    table.columns = {
        {.heading = "符号", .alignment = layout::CellAlignment::Centre, .symbols = true}, {"種類"}};
    for (const MarkLegendEntry& entry : marks.legend) {
        table.rows.push_back(
            {std::string(layout::symbol(symbolOf(entry.symbol)).name), entry.text});
    }
    return table;
}

// The points that are no boundary points, with their coordinates and class.
layout::Table coordinateTable(const plan::Plan& plan, const BoundaryMarks& marks) {
    layout::Table table;
    table.title = "座標一覧";
    table.columns = {
        {.heading = "符号", .alignment = layout::CellAlignment::Centre, .symbols = true},
        {"点名"},
        {"X", layout::CellAlignment::Right},
        {"Y", layout::CellAlignment::Right},
        {"種別"}};
    for (const ReferencePoint& reference : marks.referencePoints) {
        table.rows.push_back({std::string(layout::symbol(symbolOf(reference.pointClass)).name),
                              plan.points[static_cast<std::size_t>(reference.slot)].label,
                              metresText(reference.x), metresText(reference.y),
                              std::string(points::pointClass(reference.pointClass).text)});
    }
    return table;
}

// The area table: the CSV's header and rows, the parcel's name on its first row only.
layout::Table areaTable(const plan::Plan& plan, const std::vector<ParcelArea>& areas,
                        std::string title = "座標求積表") {
    layout::Table table;
    table.title = std::move(title);
    for (std::size_t c = 0; c < kAreaTableColumns.size(); ++c) {
        // The parcel's name stands on its first row, and again where the table goes on.
        table.columns.push_back(
            {.heading = std::string(kAreaTableColumns[c]),
             .alignment = c < 2 ? layout::CellAlignment::Left : layout::CellAlignment::Right,
             .carried = c == 0});
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

// With a subdivision, a table per new lot titled with its caption, the parent's (分筆前) and
// the other parcels' tables, then the summary of the areas; without one, the one table.
void addAreaTables(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                   const std::vector<ParcelArea>& areas, const SubdivisionCheck* check,
                   std::vector<layout::Table>& tables) {
    if (check == nullptr || !check->parent) {
        tables.push_back(areaTable(plan, areas));
        return;
    }
    const std::size_t parent = *check->parent;
    tables.push_back(
        areaTable(plan, {areas[parent]}, "座標求積表（分筆前 " + parcels[parent].name + "）"));
    std::vector<bool> listed(areas.size(), false);
    listed[parent] = true;
    for (const NewLot& lot : check->lots) {
        tables.push_back(areaTable(plan, {areas[lot.parcel]},
                                   "座標求積表（" + lotCaption(parcels[lot.parcel], lot) + "）"));
        listed[lot.parcel] = true;
    }
    std::vector<ParcelArea> others;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (!listed[i]) {
            others.push_back(areas[i]);
        }
    }
    if (!others.empty()) {
        tables.push_back(areaTable(plan, others));
    }
    layout::Table summary;
    summary.title = "分筆の面積";
    summary.columns = {{""}, {"面積", layout::CellAlignment::Right}};
    for (const SummaryRow& row : subdivisionSummary(*check)) {
        summary.rows.push_back({std::string(row.label), row.value});
    }
    tables.push_back(std::move(summary));
}

// The dividing lines in their own style, in the drawing that holds the parent's corners.
void addDividingLines(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                      const SubdivisionCheck* check, std::vector<layout::Drawing>& drawings) {
    if (check == nullptr || !check->parent || drawings.empty()) {
        return;
    }
    const plan::WorldPoint corner = worldOf(plan, parcels[*check->parent].vertices.front());
    layout::Drawing* owner = &drawings.front();
    for (layout::Drawing& drawing : drawings) {
        for (const layout::PointPiece& point : drawing.points) {
            if (point.at.x == corner.x && point.at.y == corner.y) {
                owner = &drawing;
            }
        }
    }
    for (const DividingLine& line : dividingLines(parcels, *check)) {
        owner->outlines.push_back({{worldOf(plan, line.from), worldOf(plan, line.to)},
                                   false,
                                   kDividingLineStyle,
                                   layout::LayerId::Boundary});
    }
}

} // namespace

layout::LayoutRequest surveyMapRequest(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                       const SurveyMapSettings& settings,
                                       const std::vector<Neighbour>& neighbours,
                                       const SubdivisionCheck* subdivision) {
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
    const BoundaryMarks marks = findBoundaryMarks(plan, parcels);
    const std::map<Position, layout::SymbolId> symbols = markSymbols(marks);
    const std::vector<NeighbourStretch> stretches =
        findNeighbours(plan, parcels, neighbours).stretches;
    const SubdivisionRoles roles = rolesOf(parcels, subdivision);
    for (const std::vector<std::size_t>& group : touchingGroups(parcels)) {
        request.drawings.push_back(drawingOf(plan, parcels, group, symbols, stretches, roles));
    }
    addDividingLines(plan, parcels, subdivision, request.drawings);
    addReferencePoints(plan, marks, request.drawings);
    addAreaTables(plan, parcels, areas, subdivision, request.tables);
    if (!marks.legend.empty()) {
        request.tables.push_back(legendTable(marks));
    }
    if (!marks.referencePoints.empty()) {
        request.tables.push_back(coordinateTable(plan, marks));
    }
    request.titleBlock.heading = "地積測量図";
    for (const TitleRow& row : titleRows(settings.titleBlock, category, areas, plan.scaleFactor)) {
        // The lot numbers and areas of many parcels are those of the area table.
        const bool perParcel = row.label == "地番" || row.label == "地積";
        request.titleBlock.fields.push_back(
            {std::string(row.label), row.value, perParcel ? "座標求積表のとおり" : ""});
    }
    return request;
}

layout::SheetLayout layOutSurveyMap(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                    const SurveyMapSettings& settings,
                                    const std::vector<Neighbour>& neighbours,
                                    const SubdivisionCheck* subdivision) {
    return layout::composeLayout(
        surveyMapRequest(plan, parcels, settings, neighbours, subdivision));
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

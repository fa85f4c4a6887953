#include "boundarymarks.h"

#include "millimetres.h"

#include "plan/plan.h"
#include "points/pointtable.h"
#include "spreadsheet/cellname.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace karumenio::parcel {

namespace {

using Position = Place;

// Warnings of one kind beyond these are counted, not listed: a sheet of thousands of odd
// texts gives a few lines.
constexpr std::size_t kShownPerKind = 5;

std::optional<Position> positionOf(const plan::PlanPoint& p) {
    const std::optional<std::int64_t> x = toMillimetres(p.x);
    const std::optional<std::int64_t> y = toMillimetres(p.y);
    if (!x || !y) {
        return std::nullopt;
    }
    return Position{*x, *y};
}

std::string cellOf(int slot, int column) {
    return spreadsheet::cellName(points::kFirstDataRow + slot, column);
}

// Adds a warning per entry up to kShownPerKind, then one line saying how many more.
void addCapped(std::vector<std::string>& warnings, const std::vector<std::string>& found,
               std::string_view what) {
    for (std::size_t i = 0; i < found.size() && i < kShownPerKind; ++i) {
        warnings.push_back(found[i]);
    }
    if (found.size() > kShownPerKind) {
        warnings.push_back("…ほか " + std::to_string(found.size() - kShownPerKind) + " 件の" +
                           std::string(what) + "があります。");
    }
}

} // namespace

std::map<Place, int> markRows(const plan::Plan& plan, std::vector<std::string>* warnings) {
    std::map<Place, int> markAt;
    std::set<Position> warnedPlaces;
    const int count = static_cast<int>(plan.points.size());
    for (int slot = 0; slot < count; ++slot) {
        const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        if (p.pointClass != points::PointClassId::Boundary || p.markText.empty()) {
            continue;
        }
        const std::optional<Position> place = positionOf(p);
        if (!place) {
            continue;
        }
        const auto [at, added] = markAt.try_emplace(*place, slot);
        const plan::PlanPoint& first = plan.points[static_cast<std::size_t>(at->second)];
        if (!added && warnings != nullptr && first.markText != p.markText &&
            warnedPlaces.insert(*place).second) {
            warnings->push_back(
                cellOf(at->second, points::kBoundaryMarkColumn) + " と " +
                cellOf(slot, points::kBoundaryMarkColumn) + " は同じ位置の点ですが、境界標が「" +
                spreadsheet::quotedInMessage(first.markText) + "」と「" +
                spreadsheet::quotedInMessage(p.markText) + "」で異なります。先の「" +
                spreadsheet::quotedInMessage(first.markText) + "」を使います。");
        }
    }
    return markAt;
}

BoundaryMarks findBoundaryMarks(const plan::Plan& plan, const std::vector<Parcel>& parcels) {
    BoundaryMarks marks;
    const int count = static_cast<int>(plan.points.size());
    std::vector<std::string> twoKinds;
    const std::map<Place, int> markAt = markRows(plan, &twoKinds);

    std::set<Position> seen;
    for (const Parcel& parcel : parcels) {
        for (const Vertex& v : parcel.vertices) {
            if (!seen.insert({v.x, v.y}).second) {
                continue;
            }
            BoundaryPoint point{v, {}, nullptr};
            if (const auto at = markAt.find({v.x, v.y}); at != markAt.end()) {
                const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(at->second)];
                point.markText = p.markText;
                point.kind = p.markKind;
            }
            marks.points.push_back(std::move(point));
        }
    }

    for (const points::MarkKind& kind : points::kMarkKinds) {
        const bool used = std::any_of(marks.points.begin(), marks.points.end(),
                                      [&](const BoundaryPoint& p) { return p.kind == &kind; });
        if (used && kind.symbol != points::MarkSymbol::None) {
            marks.legend.push_back({kind.symbol, std::string(kind.text)});
        }
    }
    for (const BoundaryPoint& point : marks.points) {
        const MarkLegendEntry entry{points::MarkSymbol::Other, point.markText};
        if (point.hasMark() && point.kind == nullptr &&
            std::find(marks.legend.begin(), marks.legend.end(), entry) == marks.legend.end()) {
            marks.legend.push_back(entry);
        }
    }

    std::set<std::pair<std::string, Position>> listed;
    std::set<std::string> oddKinds;
    std::set<std::string> oddClasses;
    std::vector<std::string> kindWarnings;
    std::vector<std::string> classWarnings;
    for (int slot = 0; slot < count; ++slot) {
        const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        if (!p.markText.empty() && p.markKind == nullptr && oddKinds.insert(p.markText).second) {
            kindWarnings.push_back("境界標「" + spreadsheet::quotedInMessage(p.markText) + "」（" +
                                   cellOf(slot, points::kBoundaryMarkColumn) + "）は一覧（" +
                                   points::markKindList() +
                                   "）にない種類です。書かれたとおりに凡例に載せます。");
        }
        if (!p.classText.empty() && points::findPointClass(p.classText) == nullptr &&
            oddClasses.insert(p.classText).second) {
            classWarnings.push_back("種別「" + spreadsheet::quotedInMessage(p.classText) + "」（" +
                                    cellOf(slot, points::kPointClassColumn) + "）は " +
                                    points::pointClassList() + " のどれでもないため、" +
                                    std::string(points::kPointClasses[0].text) +
                                    "として扱います。");
        }
        if (p.pointClass == points::PointClassId::Boundary) {
            continue;
        }
        const std::optional<Position> place = positionOf(p);
        if (place && listed.insert({p.name, *place}).second) {
            marks.referencePoints.push_back(
                {slot, p.name, place->first, place->second, p.pointClass});
        }
    }
    addCapped(marks.warnings, kindWarnings, "一覧にない境界標");
    addCapped(marks.warnings, classWarnings, "一覧にない種別");
    addCapped(marks.warnings, twoKinds, "境界標の食い違い");
    return marks;
}

} // namespace karumenio::parcel

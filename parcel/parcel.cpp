#include "parcel.h"

#include "millimetres.h"

#include "plan/plan.h"
#include "points/pointtable.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/worksheet.h"

#include <algorithm>
#include <optional>

namespace karumenio::parcel {

namespace {

std::optional<Vertex> vertexOf(const plan::Plan& plan, int slot) {
    const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
    const std::optional<std::int64_t> x = toMillimetres(p.x);
    const std::optional<std::int64_t> y = toMillimetres(p.y);
    if (!x || !y) {
        return std::nullopt;
    }
    return Vertex{slot, *x, *y};
}

std::size_t distinctPositions(std::vector<Vertex> vertices) {
    auto position = [](const Vertex& v) { return std::pair{v.x, v.y}; };
    std::sort(vertices.begin(), vertices.end(),
              [&](const Vertex& a, const Vertex& b) { return position(a) < position(b); });
    return static_cast<std::size_t>(
        std::unique(vertices.begin(), vertices.end(),
                    [&](const Vertex& a, const Vertex& b) { return position(a) == position(b); }) -
        vertices.begin());
}

std::string sectionName(const plan::Plan& plan, int start) {
    const std::string& name = plan.points[static_cast<std::size_t>(start)].breakMark;
    return "区画「" + name + "」（" +
           spreadsheet::cellName(points::kFirstDataRow + start, points::kBreakMarkColumn) +
           " から）";
}

// The parcel of the rows [start, end), if they make one.
std::optional<Parcel> parcelOf(const plan::Plan& plan, int start, int end,
                               std::vector<std::string>& warnings) {
    if (end - start < 2) {
        return std::nullopt;
    }
    const plan::PlanPoint& first = plan.points[static_cast<std::size_t>(start)];
    const plan::PlanPoint& last = plan.points[static_cast<std::size_t>(end - 1)];
    Parcel parcel;
    // Points that are not boundary points (引照点, 基準点) may stand among the rows; they are no
    // corners of the parcel.
    std::vector<int> passedOver;
    for (int slot = start; slot < end; ++slot) {
        if (plan.points[static_cast<std::size_t>(slot)].pointClass !=
            points::PointClassId::Boundary) {
            passedOver.push_back(slot);
            continue;
        }
        const std::optional<Vertex> v = vertexOf(plan, slot);
        if (!v) {
            // Only a section that closes was meant as a parcel.
            if (first.x == last.x && first.y == last.y) {
                warnings.push_back(sectionName(plan, start) + "は座標が大きすぎる（1E+15 m 以上"
                                                              "）ため、面積を求めませんでした。");
            }
            return std::nullopt;
        }
        const bool repeated = !parcel.vertices.empty() && parcel.vertices.back().x == v->x &&
                              parcel.vertices.back().y == v->y;
        if (!repeated) {
            parcel.vertices.push_back(*v);
        }
    }
    if (parcel.vertices.size() < 2) {
        return std::nullopt;
    }
    const Vertex& head = parcel.vertices.front();
    const Vertex& tail = parcel.vertices.back();
    if (head.x != tail.x || head.y != tail.y) {
        return std::nullopt;
    }
    parcel.vertices.pop_back();
    if (distinctPositions(parcel.vertices) < 3) {
        warnings.push_back(sectionName(plan, start) +
                           "は閉じていますが、異なる点が 3 点未満のため区画としませんでした。");
        return std::nullopt;
    }
    parcel.name = first.breakMark;
    parcel.firstSlot = start;
    for (const int slot : passedOver) {
        const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(slot)];
        warnings.push_back(
            sectionName(plan, start) + "の点「" + spreadsheet::quotedInMessage(p.name) + "」（" +
            spreadsheet::cellName(points::kFirstDataRow + slot, points::kPointClassColumn) +
            "）は" + std::string(points::pointClass(p.pointClass).text) +
            "のため、区画の頂点にも面積にも入れていません。");
    }
    return parcel;
}

} // namespace

ParcelSearch findParcels(const plan::Plan& plan) {
    ParcelSearch search;
    const int count = static_cast<int>(plan.points.size());
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && !plan.points[static_cast<std::size_t>(end)].breakBefore) {
            ++end;
        }
        if (std::optional<Parcel> parcel = parcelOf(plan, start, end, search.warnings)) {
            search.parcels.push_back(std::move(*parcel));
        }
        start = end;
    }
    return search;
}

} // namespace karumenio::parcel

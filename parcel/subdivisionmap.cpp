#include "subdivisionmap.h"

#include "subdivision.h"

#include <algorithm>
#include <set>
#include <utility>

namespace karumenio::parcel {

namespace {

bool collinear(const Vertex& a, const Vertex& b, const Vertex& c) {
    return WideInteger::product(b.x - a.x, c.y - a.y) == WideInteger::product(b.y - a.y, c.x - a.x);
}

// Whether the sides of the outline that lie on the line through a and b cover the stretch
// between them. Positions along the stretch are taken on its longer axis, exact.
bool onOutline(const Vertex& a, const Vertex& b, const std::vector<Vertex>& outline) {
    const bool alongX = std::llabs(b.x - a.x) >= std::llabs(b.y - a.y);
    const auto position = [&](const Vertex& v) { return alongX ? v.x : v.y; };
    const std::int64_t low = std::min(position(a), position(b));
    const std::int64_t high = std::max(position(a), position(b));
    std::vector<std::pair<std::int64_t, std::int64_t>> covered;
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Vertex& p = outline[i];
        const Vertex& q = outline[(i + 1) % n];
        if (collinear(a, b, p) && collinear(a, b, q)) {
            covered.emplace_back(std::min(position(p), position(q)),
                                 std::max(position(p), position(q)));
        }
    }
    std::sort(covered.begin(), covered.end());
    std::int64_t reached = low;
    for (const auto& [from, to] : covered) {
        if (from > reached) {
            break;
        }
        reached = std::max(reached, to);
    }
    return reached >= high;
}

} // namespace

std::vector<DividingLine> dividingLines(const std::vector<Parcel>& parcels,
                                        const SubdivisionCheck& check) {
    std::vector<DividingLine> lines;
    if (!check.parent) {
        return lines;
    }
    const std::vector<Vertex>& outline = parcels[*check.parent].vertices;
    std::set<
        std::pair<std::pair<std::int64_t, std::int64_t>, std::pair<std::int64_t, std::int64_t>>>
        drawn;
    for (const NewLot& lot : check.lots) {
        const std::vector<Vertex>& v = parcels[lot.parcel].vertices;
        for (std::size_t i = 0; i < v.size(); ++i) {
            const Vertex& a = v[i];
            const Vertex& b = v[(i + 1) % v.size()];
            const std::pair from{a.x, a.y};
            const std::pair to{b.x, b.y};
            const auto ends = from < to ? std::pair{from, to} : std::pair{to, from};
            if (onOutline(a, b, outline) || !drawn.insert(ends).second) {
                continue;
            }
            lines.push_back({a, b});
        }
    }
    return lines;
}

std::string lotCaption(const Parcel& parcel, const NewLot& lot) {
    return lot.sign + " " + parcel.name + (lot.remainder ? "（残地）" : "");
}

std::array<SummaryRow, 3> subdivisionSummary(const SubdivisionCheck& check) {
    const WideInteger difference = check.lotsArea - check.parentArea;
    // As the area tables write 面積: the number with 6 decimals under the heading 面積, no unit
    // (the script's code page has no "²").
    return {{{"分筆前 面積", check.parentArea.fixedPoint(6)},
             {"分筆後 合計", check.lotsArea.fixedPoint(6)},
             {"差", check.matches() ? std::string("一致") : difference.fixedPoint(6)}}};
}

} // namespace karumenio::parcel

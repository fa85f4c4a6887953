#include "subdivision.h"

#include "accuracyclass.h"
#include "parcelarea.h"

#include "plan/plan.h"
#include "spreadsheet/messagetext.h"

#include <algorithm>

namespace karumenio::parcel {

namespace {

// Corners at twice their millimetres, so that the midpoint of a side is a point of the same
// grid: every test below is exact.
struct Point {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

struct Bounds {
    std::int64_t minX = 0;
    std::int64_t minY = 0;
    std::int64_t maxX = 0;
    std::int64_t maxY = 0;

    bool holds(Point p) const { return minX <= p.x && p.x <= maxX && minY <= p.y && p.y <= maxY; }
    bool meets(const Bounds& o) const {
        return minX <= o.maxX && o.minX <= maxX && minY <= o.maxY && o.minY <= maxY;
    }
};

struct Ring {
    std::vector<Point> corners;
    Bounds bounds;

    explicit Ring(const Parcel& parcel) {
        for (const Vertex& v : parcel.vertices) {
            corners.push_back({2 * v.x, 2 * v.y});
        }
        bounds = {corners[0].x, corners[0].y, corners[0].x, corners[0].y};
        for (const Point& p : corners) {
            bounds.minX = std::min(bounds.minX, p.x);
            bounds.minY = std::min(bounds.minY, p.y);
            bounds.maxX = std::max(bounds.maxX, p.x);
            bounds.maxY = std::max(bounds.maxY, p.y);
        }
    }
    std::size_t size() const { return corners.size(); }
    Point at(std::size_t i) const { return corners[i % corners.size()]; }
    Point midpoint(std::size_t i) const {
        const Point a = at(i);
        const Point b = at(i + 1);
        return {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
};

// +1 when c lies left of the line from a to b, −1 right of it, 0 on it.
int orientation(Point a, Point b, Point c) {
    const std::int64_t dx1 = b.x - a.x;
    const std::int64_t dy1 = b.y - a.y;
    const std::int64_t dx2 = c.x - a.x;
    const std::int64_t dy2 = c.y - a.y;
    // Differences below 2^31 (some thousand kilometres) keep both products within 64 bits.
    constexpr std::int64_t kNarrow = std::int64_t{1} << 31;
    const auto narrow = [](std::int64_t d) { return -kNarrow < d && d < kNarrow; };
    if (narrow(dx1) && narrow(dy1) && narrow(dx2) && narrow(dy2)) {
        const std::int64_t cross = dx1 * dy2 - dy1 * dx2;
        return cross == 0 ? 0 : (cross < 0 ? -1 : 1);
    }
    const WideInteger cross =
        WideInteger::product(b.x - a.x, c.y - a.y) - WideInteger::product(b.y - a.y, c.x - a.x);
    return cross.isZero() ? 0 : (cross.isNegative() ? -1 : 1);
}

bool onSegment(Point a, Point b, Point p) {
    const Bounds box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                     std::max(a.y, b.y)};
    return box.holds(p) && orientation(a, b, p) == 0;
}

// Whether the two sides cross at one point inside both; touching and running along each
// other are no crossings.
bool crossProperly(Point p1, Point p2, Point q1, Point q2) {
    return orientation(p1, p2, q1) * orientation(p1, p2, q2) < 0 &&
           orientation(q1, q2, p1) * orientation(q1, q2, p2) < 0;
}

enum class Where { Outside, Boundary, Inside };

Where locate(const Ring& ring, Point p) {
    if (!ring.bounds.holds(p)) {
        return Where::Outside;
    }
    bool inside = false;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point a = ring.at(i);
        const Point b = ring.at(i + 1);
        if (onSegment(a, b, p)) {
            return Where::Boundary;
        }
        if ((a.y > p.y) != (b.y > p.y)) {
            const int side = orientation(a, b, p);
            if (b.y > a.y ? side > 0 : side < 0) {
                inside = !inside;
            }
        }
    }
    return inside ? Where::Inside : Where::Outside;
}

// Whether some corner or the midpoint of some side of one ring lies strictly inside the other.
bool reachesInside(const Ring& ring, const Ring& other) {
    if (!ring.bounds.meets(other.bounds)) {
        return false;
    }
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (locate(other, ring.at(i)) == Where::Inside ||
            locate(other, ring.midpoint(i)) == Where::Inside) {
            return true;
        }
    }
    return false;
}

// Whether no corner and no midpoint of a side of the ring lies outside the other: a ring
// that runs along the other's outline only, such as a copy of it.
bool withinOutline(const Ring& ring, const Ring& other) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (locate(other, ring.at(i)) == Where::Outside ||
            locate(other, ring.midpoint(i)) == Where::Outside) {
            return false;
        }
    }
    return true;
}

// The first side of one ring that crosses a side of the other, if any.
std::optional<std::size_t> crossingSide(const Ring& ring, const Ring& other) {
    if (!ring.bounds.meets(other.bounds)) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point a = ring.at(i);
        const Point b = ring.at(i + 1);
        const Bounds side{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                          std::max(a.y, b.y)};
        if (!side.meets(other.bounds)) {
            continue;
        }
        for (std::size_t j = 0; j < other.size(); ++j) {
            if (crossProperly(a, b, other.at(j), other.at(j + 1))) {
                return i;
            }
        }
    }
    return std::nullopt;
}

std::string named(std::string_view name) {
    return "「" + spreadsheet::quotedInMessage(name) + "」";
}

std::string pointName(const plan::Plan& plan, const Vertex& v) {
    return named(plan.points[static_cast<std::size_t>(v.slot)].name);
}

std::string squareMetres(const WideInteger& squareMillimetres) {
    return squareMillimetres.fixedPoint(6) + " m²";
}

// Corners named in one warning beyond these are counted, not named.
constexpr std::size_t kNamedCorners = 10;

void checkRegisteredArea(const SubdivisionSettings& settings, const std::string& parentText,
                         SubdivisionCheck& check) {
    if (!settings.registeredArea) {
        return;
    }
    const WideInteger registered(*settings.registeredArea);
    const WideInteger difference = check.parentArea - registered;
    const std::string stated = parentText + "の面積 " + squareMetres(check.parentArea) +
                               " と登記地積 " + squareMetres(registered) + " の差は " +
                               squareMetres(difference);
    if (settings.accuracyClass == nullptr) {
        check.warnings.push_back(stated +
                                 "です。精度区分が選ばれていないため、公差と比べていません。");
        return;
    }
    const std::int64_t tolerance = areaTolerance(*settings.accuracyClass, *settings.registeredArea);
    if (difference.magnitude() > WideInteger(tolerance)) {
        check.warnings.push_back(stated + "で、精度区分 " +
                                 std::string(settings.accuracyClass->listText) + " の公差 " +
                                 squareMetres(WideInteger(tolerance)) +
                                 " を超えています。分筆の前に地積更正の登記が必要です。");
    }
}

} // namespace

std::optional<std::int64_t> squareMillimetresOf(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    // Twelve digits of square metres are a parcel of a million square kilometres.
    if (whole.empty() || whole.size() > 12 || !digits(whole) || decimals.size() > 6 ||
        !digits(decimals) || (point != std::string_view::npos && decimals.empty())) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : whole) {
        value = value * 10 + (c - '0');
    }
    for (std::size_t i = 0; i < 6; ++i) {
        value = value * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
    }
    return value;
}

SubdivisionCheck checkSubdivision(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                  const std::vector<ParcelArea>& areas,
                                  const SubdivisionSettings& settings) {
    SubdivisionCheck check;
    if (settings.parent.empty()) {
        return check;
    }
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        if (parcels[i].name != settings.parent) {
            continue;
        }
        if (check.parent) {
            check.warnings.push_back("分筆前の区画" + named(settings.parent) +
                                     "が二つ以上あります。最初のものを分筆前の区画とします。");
            break;
        }
        check.parent = i;
    }
    if (!check.parent) {
        check.warnings.push_back("分筆前の区画" + named(settings.parent) +
                                 "が見つかりません（閉じた区画の先頭行の区切りの名前で指定して下さ"
                                 "い）。");
        return check;
    }
    const std::size_t parentIndex = *check.parent;
    const std::string parentText = "分筆前の区画" + named(settings.parent);
    const Ring parent(parcels[parentIndex]);
    check.parentDoubleArea = areas[parentIndex].doubleArea;
    check.parentArea = areas[parentIndex].area;

    std::vector<Ring> rings;
    const LotSignStyle& style = settings.signs != nullptr ? *settings.signs : kLotSignStyles[0];
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        if (i == parentIndex) {
            continue;
        }
        Ring ring(parcels[i]);
        if (!reachesInside(ring, parent) && !withinOutline(ring, parent)) {
            check.warnings.push_back("区画" + named(parcels[i].name) + "は" + parentText +
                                     "の外にあるため、分筆後の区画に入れていません。");
            continue;
        }
        NewLot lot{i, lotSign(style, check.lots.size()),
                   !settings.remainder.empty() && parcels[i].name == settings.remainder};
        check.lotsDoubleArea += areas[i].doubleArea;
        check.lots.push_back(std::move(lot));
        rings.push_back(std::move(ring));
    }
    check.difference = check.lotsDoubleArea - check.parentDoubleArea;
    check.lotsArea = check.lotsDoubleArea.dividedBy(2).quotient;
    if (check.lots.empty()) {
        check.warnings.push_back(parentText + "の中に分筆後の区画がありません。");
    }

    for (std::size_t k = 0; k < check.lots.size(); ++k) {
        const Parcel& lot = parcels[check.lots[k].parcel];
        const std::string lotText = "分筆後の区画" + named(lot.name);
        std::string outside;
        std::size_t outsideCount = 0;
        for (std::size_t i = 0; i < rings[k].size(); ++i) {
            if (locate(parent, rings[k].at(i)) == Where::Outside) {
                if (++outsideCount <= kNamedCorners) {
                    outside += pointName(plan, lot.vertices[i]);
                }
            }
        }
        if (outsideCount > kNamedCorners) {
            outside += " ほか " + std::to_string(outsideCount - kNamedCorners) + " 点";
        }
        if (outsideCount > 0) {
            check.warnings.push_back(lotText + "の点" + outside + "は" + parentText +
                                     "の外にあります。");
        } else if (const std::optional<std::size_t> side = crossingSide(rings[k], parent)) {
            const std::size_t n = lot.vertices.size();
            check.warnings.push_back(lotText + "の辺 " + pointName(plan, lot.vertices[*side]) +
                                     "〜" + pointName(plan, lot.vertices[(*side + 1) % n]) + " が" +
                                     parentText + "の境界を横切っています。");
        }
        for (std::size_t other = k + 1; other < check.lots.size(); ++other) {
            if (crossingSide(rings[k], rings[other]) || reachesInside(rings[k], rings[other]) ||
                reachesInside(rings[other], rings[k])) {
                check.warnings.push_back(lotText + "と分筆後の区画" +
                                         named(parcels[check.lots[other].parcel].name) +
                                         "が重なっています。");
            }
        }
    }
    if (!check.lots.empty() && !check.matches()) {
        check.warnings.push_back(
            "分筆後の区画の倍面積の合計 " + squareMetres(check.lotsDoubleArea) + " が" +
            parentText + "の倍面積 " + squareMetres(check.parentDoubleArea) +
            " と一致しません（倍面積の差 " + check.difference.fixedPoint(0) + " mm²）。");
    }
    if (!settings.remainder.empty() &&
        std::none_of(check.lots.begin(), check.lots.end(),
                     [](const NewLot& lot) { return lot.remainder; })) {
        check.warnings.push_back("残地に指定された区画" + named(settings.remainder) +
                                 "が分筆後の区画にありません。");
    }
    checkRegisteredArea(settings, parentText, check);
    return check;
}

} // namespace karumenio::parcel

#include "textplacement.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace karumenio::layout {

namespace {

// Between a point's symbol and its name, and between a line and a text along it.
constexpr double kNameGap = 0.5;
constexpr double kLineGap = 0.75;
// Distances at which a text stands away from what it names, with a leader.
constexpr std::array<double, 10> kLeaderRings{2.0,  3.5,  5.0,  6.5,  8.0,
                                              10.0, 12.5, 15.0, 18.0, 22.0};
// Where a leader starts, off the point or line it names.
constexpr double kLeaderStart = 0.3;

Point boxCentre(const Quad& box) {
    return (box.corners[0] + box.corners[2]) * 0.5;
}

// The point of the rectangle nearest to p.
Point nearestPoint(const Quad& quad, Point p) {
    const Point origin = quad.corners[0];
    const Point u = quad.corners[1] - origin;
    const Point v = quad.corners[3] - origin;
    const double s = std::clamp(dot(p - origin, u) / dot(u, u), 0.0, 1.0);
    const double t = std::clamp(dot(p - origin, v) / dot(v, v), 0.0, 1.0);
    return origin + u * s + v * t;
}

// Sixteen directions, the preferred one first and then by how far they turn from it; without
// a preference, up and to the right first, where names are read best.
std::vector<Point> directionsFrom(Point preferred) {
    // The directions' unit vectors are worked out once: the correctly rounded sine is slow.
    static const std::array<Point, 16> kDirections = [] {
        std::array<Point, 16> directions;
        for (std::size_t k = 0; k < directions.size(); ++k) {
            directions[k] = directionOf(static_cast<double>(k) * 22.5);
        }
        return directions;
    }();
    const double start =
        (preferred.x == 0 && preferred.y == 0) ? 45.0 : directionDegrees(preferred);
    std::array<std::pair<double, std::size_t>, 16> turns;
    for (std::size_t k = 0; k < turns.size(); ++k) {
        const double turn = std::fabs(std::remainder(static_cast<double>(k) * 22.5 - start, 360.0));
        turns[k] = {turn + static_cast<double>(k) * 1e-6, k};
    }
    std::sort(turns.begin(), turns.end());
    std::vector<Point> directions;
    directions.reserve(turns.size());
    for (const auto& [turn, k] : turns) {
        directions.push_back(kDirections[k]);
    }
    return directions;
}

// The box of a horizontal text w × h placed in a direction from a point, its nearest side
// gap away: the direction is taken to the square, so that a name to the right keeps its left
// edge a gap away whatever its height.
Point nameCentre(Point point, Point direction, double width, double height, double gap) {
    const double norm = std::max(std::fabs(direction.x), std::fabs(direction.y));
    return point +
           Point{direction.x / norm * (width / 2 + gap), direction.y / norm * (height / 2 + gap)};
}

bool insidePolygon(const std::vector<Point>& polygon, Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point a = polygon[i];
        const Point b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double distanceToSegment(Point p, Point a, Point b) {
    const Point d = b - a;
    const double l = dot(d, d);
    const double t = l > 0 ? std::clamp(dot(p - a, d) / l, 0.0, 1.0) : 0.0;
    return length(p - (a + d * t));
}

} // namespace

Text centredAt(const Text& text, Point centre) {
    Text moved = text;
    const Point shift = centre - boxCentre(text.box);
    moved.at = text.at + shift;
    for (Point& corner : moved.box.corners) {
        corner = corner + shift;
    }
    return moved;
}

namespace {

// The box of the text moved so that its centre lies at the point; the text itself is copied
// only for the place that is taken.
Quad boxAt(const Text& text, Point centre) {
    const Point shift = centre - boxCentre(text.box);
    Quad box = text.box;
    for (Point& corner : box.corners) {
        corner = corner + shift;
    }
    return box;
}

} // namespace

bool TextPlacer::tryPlace(const Text& text, Point centre) {
    if (!m_sheet.isFree(boxAt(text, centre))) {
        return false;
    }
    m_sheet.add(centredAt(text, centre));
    return true;
}

bool TextPlacer::tryWithLeader(const Text& text, Point centre, Point anchor, double clearance) {
    const Quad box = boxAt(text, centre);
    if (!m_sheet.isFree(box)) {
        return false;
    }
    const Point end = nearestPoint(box, anchor);
    const Point direction = unit(end - anchor);
    const double reach = length(end - anchor);
    if (reach <= clearance + kLeaderStart) {
        return false;
    }
    const Point start = anchor + direction * (clearance + kLeaderStart);
    // The leader stops short of the text's own box, which it only touches.
    const Point stop = end - direction * 1e-3;
    if (!m_sheet.isFree(start, stop)) {
        return false;
    }
    m_sheet.add(centredAt(text, centre));
    m_sheet.line(text.layer, {anchor + direction * clearance, end}, false, true);
    ++m_fit.leaders;
    return true;
}

bool TextPlacer::tryAround(const Text& text, Point anchor, double clearance) {
    const std::vector<Point> directions = directionsFrom({});
    const Quad& box = text.box;
    const double width = length(box.corners[1] - box.corners[0]);
    const double height = length(box.corners[3] - box.corners[0]);
    for (const double ring : kLeaderRings) {
        for (const Point& direction : directions) {
            // Far enough that the box clears the anchor whichever way it is turned.
            const double reach = ring + clearance + std::max(width, height) / 2;
            if (tryWithLeader(text, anchor + direction * reach, anchor, clearance)) {
                return true;
            }
        }
    }
    return false;
}

void TextPlacer::placeAnyway(const Text& text, Point centre) {
    ++m_fit.overlappingTexts;
    m_sheet.add(centredAt(text, centre));
}

bool TextPlacer::placeName(Point point, double clearance, Point preferred, std::string_view name,
                           int slot, Stage stage) {
    const Text text = makeText(LayerId::Names, TextRole::PointName, name, point, 0.0,
                               Alignment::BottomCentre, slot);
    if (text.text.empty()) {
        return true;
    }
    const double width = length(text.box.corners[1] - text.box.corners[0]);
    const double height = length(text.box.corners[3] - text.box.corners[0]);
    const std::vector<Point> directions = directionsFrom(preferred);
    switch (stage) {
    case Stage::Beside:
        for (const Point& direction : directions) {
            if (tryPlace(text, nameCentre(point, direction, width, height, clearance + kNameGap))) {
                return true;
            }
        }
        return false;
    case Stage::Away:
        for (const double ring : kLeaderRings) {
            for (const Point& direction : directions) {
                const Point centre = nameCentre(point, direction, width, height, clearance + ring);
                if (tryWithLeader(text, centre, point, clearance)) {
                    return true;
                }
            }
        }
        return false;
    case Stage::Anywhere:
        placeAnyway(text,
                    nameCentre(point, directions.front(), width, height, clearance + kNameGap));
        return true;
    }
    return false;
}

bool TextPlacer::placeAlong(const std::vector<Point>& stretch, std::string_view content,
                            TextRole role, LayerId layer, bool outsideOnTheLeft, Stage stage) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i + 1 < stretch.size(); ++i) {
        if (length(stretch[i + 1] - stretch[i]) > 0) {
            order.push_back(i);
        }
    }
    if (order.empty()) {
        return true;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return length(stretch[a + 1] - stretch[a]) > length(stretch[b + 1] - stretch[b]);
    });

    struct Segment {
        Point middle;
        Point direction;
        double length;
        Point outside;
        Text text;
        // The text's upward direction.
        Point up;
    };
    std::vector<Segment> segments;
    for (const std::size_t i : order) {
        const Point a = stretch[i];
        const Point b = stretch[i + 1];
        const Point direction = unit(b - a);
        const Point left = leftOf(direction);
        Text text =
            makeText(layer, role, content, a, readableDirection(a, b), Alignment::BottomCentre);
        const Point up = leftOf(unit(text.box.corners[1] - text.box.corners[0]));
        segments.push_back({(a + b) * 0.5, direction, length(b - a),
                            outsideOnTheLeft ? left : left * -1.0, std::move(text), up});
    }
    if (segments.front().text.text.empty()) {
        return true;
    }
    const Quad& box = segments.front().text.box;
    const double height = length(box.corners[3] - box.corners[0]);
    // The text on one side of its segment (+1 outside, −1 inside), its near edge gap away, its
    // middle shifted along the segment.
    auto candidate = [&](const Segment& s, double side, double gap, double shift) {
        const Point normal = s.outside * side;
        const double across = dot(normal, s.up) >= 0 ? gap + height / 2 : -(gap + height / 2);
        return s.middle + s.direction * shift + s.up * across;
    };
    struct Try {
        double side;
        double shift;
    };
    constexpr std::array<Try, 10> kBeside{{{1, 0},
                                           {1, 0.2},
                                           {1, -0.2},
                                           {-1, 0},
                                           {-1, 0.2},
                                           {-1, -0.2},
                                           {1, 0.38},
                                           {1, -0.38},
                                           {-1, 0.38},
                                           {-1, -0.38}}};
    const Segment& longest = segments.front();
    switch (stage) {
    case Stage::Beside:
        for (const Segment& s : segments) {
            for (const Try& t : kBeside) {
                const double side = m_insideFirst ? -t.side : t.side;
                if (tryPlace(s.text, candidate(s, side, kLineGap, t.shift * s.length))) {
                    return true;
                }
            }
        }
        return false;
    case Stage::Away:
        for (const Segment& s : segments) {
            for (const double ring : kLeaderRings) {
                for (const double shift : {0.0, 0.3, -0.3, 0.7, -0.7, 1.1, -1.1}) {
                    for (const double side : {1.0, -1.0}) {
                        // The leader starts on the segment, however far along the text stands.
                        const double along = std::clamp(shift, -0.45, 0.45) * s.length;
                        const Point centre = candidate(s, side, kLineGap + ring, shift * s.length);
                        if (tryWithLeader(s.text, centre, s.middle + s.direction * along, 0.0)) {
                            return true;
                        }
                    }
                }
            }
        }
        return tryAround(longest.text, longest.middle, 0.0);
    case Stage::Anywhere:
        placeAnyway(longest.text, candidate(longest, 1, kLineGap, 0));
        return true;
    }
    return false;
}

bool TextPlacer::placeInside(const std::vector<Point>& polygon, std::string_view content,
                             TextRole role, LayerId layer, Stage stage) {
    const Text text = makeText(layer, role, content, {}, 0.0, Alignment::BottomCentre);
    if (text.text.empty() || polygon.size() < 3) {
        return true;
    }
    // Places inside on a grid over the polygon's box, those furthest from its edges first.
    Box bounds;
    Point centroid;
    for (const Point& p : polygon) {
        bounds.add(p);
        centroid = centroid + p * (1.0 / static_cast<double>(polygon.size()));
    }
    constexpr int kSteps = 12;
    std::vector<std::pair<double, Point>> places;
    for (int i = 0; i <= kSteps; ++i) {
        for (int j = 0; j <= kSteps; ++j) {
            const Point p{bounds.minX + bounds.width() * i / kSteps,
                          bounds.minY + bounds.height() * j / kSteps};
            if (!insidePolygon(polygon, p)) {
                continue;
            }
            double clearance = INFINITY;
            for (std::size_t k = 0; k < polygon.size(); ++k) {
                clearance = std::min(
                    clearance, distanceToSegment(p, polygon[k], polygon[(k + 1) % polygon.size()]));
            }
            // Near the middle among equals.
            places.push_back({clearance - 1e-3 * length(p - centroid), p});
        }
    }
    std::stable_sort(places.begin(), places.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    const Point anchor = places.empty() ? centroid : places.front().second;
    switch (stage) {
    case Stage::Beside:
        for (const auto& [clearance, p] : places) {
            if (tryPlace(text, p)) {
                return true;
            }
        }
        return false;
    case Stage::Away:
        return tryAround(text, anchor, 0.0);
    case Stage::Anywhere:
        placeAnyway(text, anchor);
        return true;
    }
    return false;
}

} // namespace karumenio::layout

#include "geometry.h"

#include "numeric/trig.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace karumenio::layout {

namespace {

constexpr double kDegreesPerRadian = 180 / std::numbers::pi;

// The projections of a shape's corners onto an axis.
template <std::size_t N>
std::pair<double, double> project(const std::array<Point, N>& points, Point axis) {
    double low = dot(points[0], axis);
    double high = low;
    for (std::size_t i = 1; i < N; ++i) {
        const double d = dot(points[i], axis);
        low = std::min(low, d);
        high = std::max(high, d);
    }
    return {low, high};
}

// Whether an axis separates the two shapes, allowing them to touch. The tolerance is relative
// to the size of the numbers, so that texts laid edge to edge do not count as meeting.
template <std::size_t N, std::size_t M>
bool separates(const std::array<Point, N>& a, const std::array<Point, M>& b, Point axis) {
    const auto [aLow, aHigh] = project(a, axis);
    const auto [bLow, bHigh] = project(b, axis);
    const double tolerance =
        1e-9 *
        (1 + std::max({std::fabs(aLow), std::fabs(aHigh), std::fabs(bLow), std::fabs(bHigh)}));
    return aHigh <= bLow + tolerance || bHigh <= aLow + tolerance;
}

} // namespace

double length(Point a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}

Point unit(Point a) {
    const double l = length(a);
    return l > 0 ? Point{a.x / l, a.y / l} : Point{};
}

Box Box::of(Point low, Point high) {
    Box box;
    box.add(low);
    box.add(high);
    return box;
}

void Box::add(Point p) {
    if (empty) {
        minX = maxX = p.x;
        minY = maxY = p.y;
        empty = false;
        return;
    }
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

void Box::include(const Box& other) {
    if (!other.empty) {
        add({other.minX, other.minY});
        add({other.maxX, other.maxY});
    }
}

Box Box::grown(double margin) const {
    if (empty) {
        return *this;
    }
    return Box::of({minX - margin, minY - margin}, {maxX + margin, maxY + margin});
}

bool Box::overlaps(const Box& other) const {
    return !empty && !other.empty && minX < other.maxX && other.minX < maxX && minY < other.maxY &&
           other.minY < maxY;
}

bool Box::contains(const Box& other) const {
    const double tolerance = 1e-9 * (1 + std::max(std::fabs(maxX), std::fabs(maxY)));
    return !empty && !other.empty && other.minX >= minX - tolerance &&
           other.maxX <= maxX + tolerance && other.minY >= minY - tolerance &&
           other.maxY <= maxY + tolerance;
}

bool Box::contains(Point p) const {
    return !empty && p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY;
}

Quad Quad::of(const Box& box) {
    return {{Point{box.minX, box.minY}, Point{box.maxX, box.minY}, Point{box.maxX, box.maxY},
             Point{box.minX, box.maxY}}};
}

Quad Quad::along(Point origin, Point along, double width, double height) {
    const Point up = leftOf(along);
    return {{origin, origin + along * width, origin + along * width + up * height,
             origin + up * height}};
}

Box Quad::bounds() const {
    Box box;
    for (const Point& p : corners) {
        box.add(p);
    }
    return box;
}

bool overlaps(const Quad& a, const Quad& b) {
    for (const Quad* q : {&a, &b}) {
        for (std::size_t i = 0; i < 2; ++i) {
            const Point edge = q->corners[i + 1] - q->corners[i];
            if (separates(a.corners, b.corners, leftOf(edge))) {
                return false;
            }
        }
    }
    return true;
}

bool crosses(Point a, Point b, const Quad& quad) {
    const std::array<Point, 2> segment{a, b};
    for (std::size_t i = 0; i < 2; ++i) {
        const Point edge = quad.corners[i + 1] - quad.corners[i];
        if (separates(segment, quad.corners, leftOf(edge))) {
            return false;
        }
    }
    return !separates(segment, quad.corners, leftOf(b - a));
}

bool segmentsMeet(Point a, Point b, Point c, Point d) {
    const auto side = [](Point p, Point q, Point r) {
        const double cross = (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
        return cross > 0 ? 1 : cross < 0 ? -1 : 0;
    };
    const int d1 = side(c, d, a);
    const int d2 = side(c, d, b);
    const int d3 = side(a, b, c);
    const int d4 = side(a, b, d);
    if (d1 * d2 < 0 && d3 * d4 < 0) {
        return true;
    }
    const auto within = [](Point p, Point q, Point r) {
        return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) &&
               std::min(p.y, q.y) <= r.y && r.y <= std::max(p.y, q.y);
    };
    return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) ||
           (d3 == 0 && within(a, b, c)) || (d4 == 0 && within(a, b, d));
}

double directionDegrees(Point direction) {
    const double x = direction.x;
    const double y = direction.y;
    if (x == 0 && y == 0) {
        return 0.0;
    }
    if (std::fabs(x) >= std::fabs(y)) {
        const double degrees = numeric::atan(y / x) * kDegreesPerRadian;
        if (x > 0) {
            return degrees;
        }
        return y >= 0 ? degrees + 180 : degrees - 180;
    }
    const double degrees = -numeric::atan(x / y) * kDegreesPerRadian;
    return y > 0 ? degrees + 90 : degrees - 90;
}

double readableDirection(Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (dx == 0) {
        return 90.0;
    }
    const double degrees = numeric::atan(dy / dx) * kDegreesPerRadian;
    return std::fabs(degrees) > 90 - 1e-9 ? 90.0 : degrees;
}

Point directionOf(double degrees) {
    if (degrees == 0) {
        return {1.0, 0.0};
    }
    const double radians = degrees / kDegreesPerRadian;
    return {numeric::cos(radians), numeric::sin(radians)};
}

} // namespace karumenio::layout

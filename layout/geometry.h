#pragma once

#include <array>

namespace karumenio::layout {

// A point on a sheet in millimetres of paper, from the lower left corner of the sheet's edge,
// y upwards; also a direction or an offset.
struct Point {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const Point&, const Point&) = default;
};

inline Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
inline Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
inline Point operator*(Point a, double k) {
    return {a.x * k, a.y * k};
}
inline double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}
// The length by the square root alone, which every platform rounds alike.
double length(Point a);
// The direction of a, of length 1; (0, 0) for a point at the origin.
Point unit(Point a);
// a turned a quarter turn counter-clockwise.
inline Point leftOf(Point a) {
    return {-a.y, a.x};
}

// An axis-aligned box; empty until a point is added.
struct Box {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    bool empty = true;

    static Box of(Point low, Point high);
    void add(Point p);
    void include(const Box& other);
    // The box grown by margin on every side.
    Box grown(double margin) const;
    double width() const { return empty ? 0.0 : maxX - minX; }
    double height() const { return empty ? 0.0 : maxY - minY; }
    Point centre() const { return {(minX + maxX) / 2, (minY + maxY) / 2}; }
    // Whether the insides meet: boxes that only touch do not.
    bool overlaps(const Box& other) const;
    bool contains(const Box& other) const;
    bool contains(Point p) const;
};

// A rectangle turned by an angle, such as the space a text covers: its corners
// counter-clockwise.
struct Quad {
    std::array<Point, 4> corners;

    static Quad of(const Box& box);
    // The rectangle from origin, width along the direction `along` (of length 1) and height
    // at its left.
    static Quad along(Point origin, Point along, double width, double height);
    Box bounds() const;
};

// Whether the insides of two rectangles meet (separating axes); touching is not meeting.
bool overlaps(const Quad& a, const Quad& b);
// Whether the segment from a to b passes through the inside of the rectangle.
bool crosses(Point a, Point b, const Quad& quad);
// Whether two segments cross or touch.
bool segmentsMeet(Point a, Point b, Point c, Point d);

// Degrees counter-clockwise from the x axis to the direction, in (−180, 180], by the
// program's own arc tangent so that every platform gives the same bits.
double directionDegrees(Point direction);
// The direction of the line through a and b in degrees, above −90 and up to 90: text along it
// then reads left to right, or upwards on an upright line, never upside down. A line upright
// but for rounding counts as upright.
double readableDirection(Point a, Point b);
// The unit vector of an angle in degrees.
Point directionOf(double degrees);

} // namespace karumenio::layout

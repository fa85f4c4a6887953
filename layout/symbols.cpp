#include "symbols.h"

#include "sheetlayout.h"

#include <vector>

namespace karumenio::layout {

namespace {

// Half the side of a square symbol, the radius of a round one, the reach of a pointed one.
constexpr double kHalfSide = 1.0;
constexpr double kRound = 1.2;
constexpr double kPointed = 1.4;
constexpr double kInnerRound = 0.6;
// A dot at the point: small enough to read as one, large enough to print.
constexpr double kDot = 0.2;

void polygon(Sheet& sheet, std::vector<Point> vertices) {
    sheet.lines.push_back({LayerId::Marks, std::move(vertices), true});
}

void segment(Sheet& sheet, Point a, Point b) {
    sheet.lines.push_back({LayerId::Marks, {a, b}, false});
}

void circle(Sheet& sheet, Point at, double radius) {
    sheet.circles.push_back({LayerId::Marks, at, radius});
}

void square(Sheet& sheet, Point at) {
    const double h = kHalfSide;
    polygon(sheet, {at + Point{-h, -h}, at + Point{h, -h}, at + Point{h, h}, at + Point{-h, h}});
}

// Pointing up, its corners kPointed from the point.
void triangle(Sheet& sheet, Point at) {
    polygon(sheet, {at + directionOf(90) * kPointed, at + directionOf(210) * kPointed,
                    at + directionOf(330) * kPointed});
}

} // namespace

void drawBoundaryPoint(Sheet& sheet, Point at) {
    circle(sheet, at, symbol(SymbolId::BoundaryPoint).radius);
}

void drawSquare(Sheet& sheet, Point at) {
    square(sheet, at);
}

void drawCrossedSquare(Sheet& sheet, Point at) {
    const double h = kHalfSide;
    square(sheet, at);
    segment(sheet, at + Point{-h, -h}, at + Point{h, h});
    segment(sheet, at + Point{-h, h}, at + Point{h, -h});
}

void drawDoubleCircle(Sheet& sheet, Point at) {
    circle(sheet, at, kRound);
    circle(sheet, at, kInnerRound);
}

void drawCrossedCircle(Sheet& sheet, Point at) {
    circle(sheet, at, kRound);
    segment(sheet, at + Point{-kRound, 0}, at + Point{kRound, 0});
    segment(sheet, at + Point{0, -kRound}, at + Point{0, kRound});
}

void drawDottedCircle(Sheet& sheet, Point at) {
    circle(sheet, at, kRound);
    circle(sheet, at, kDot);
}

void drawTriangle(Sheet& sheet, Point at) {
    triangle(sheet, at);
}

void drawDiamond(Sheet& sheet, Point at) {
    const double r = kPointed;
    polygon(sheet, {at + Point{0, -r}, at + Point{r, 0}, at + Point{0, r}, at + Point{-r, 0}});
}

void drawCross(Sheet& sheet, Point at) {
    const double h = kHalfSide;
    segment(sheet, at + Point{-h, -h}, at + Point{h, h});
    segment(sheet, at + Point{-h, h}, at + Point{h, -h});
}

void drawAsterisk(Sheet& sheet, Point at) {
    const double r = symbol(SymbolId::Asterisk).radius;
    for (const double degrees : {90.0, 30.0, -30.0}) {
        const Point d = directionOf(degrees) * r;
        segment(sheet, at - d, at + d);
    }
}

void drawDottedSquare(Sheet& sheet, Point at) {
    square(sheet, at);
    circle(sheet, at, kDot);
}

void drawDottedTriangle(Sheet& sheet, Point at) {
    triangle(sheet, at);
    circle(sheet, at, kDot);
}

const Symbol* findSymbol(std::string_view name) {
    for (const Symbol& s : kSymbols) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace karumenio::layout

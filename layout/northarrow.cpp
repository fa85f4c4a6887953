#include "northarrow.h"

#include "textplacement.h"

namespace karumenio::layout {

namespace {

constexpr double kShaftLength = 20.0;
constexpr double kHeadLength = 5.0;
constexpr double kHeadHalfWidth = 2.0;
// Between the head and the letter.
constexpr double kLetterGap = 1.0;

struct Arrow {
    Point tail;
    Point head;
    Point left;
    Point right;
    Text letter;
};

Arrow arrowAbout(Point centre, Point north) {
    const Point across{north.y, -north.x};
    auto at = [&](double along, double aside) { return centre + north * along + across * aside; };
    const double half = kShaftLength / 2;
    const double letter = textHeight(TextRole::NorthLetter);
    const Point beyond = at(half + kLetterGap + letter / 2 + kDescent * letter, 0);
    Text n =
        makeText(LayerId::Tables, TextRole::NorthLetter, "N", beyond, 0.0, Alignment::BottomCentre);
    n = centredAt(n, beyond);
    return {at(-half, 0), at(half, 0), at(half - kHeadLength, -kHeadHalfWidth),
            at(half - kHeadLength, kHeadHalfWidth), n};
}

} // namespace

Box northArrowBox(Point north) {
    const Arrow arrow = arrowAbout({}, north);
    Box box;
    for (const Point& p : {arrow.tail, arrow.head, arrow.left, arrow.right}) {
        box.add(p);
    }
    box.include(arrow.letter.box.bounds());
    return box;
}

void drawNorthArrow(SheetBuilder& sheet, Point centre, Point north) {
    const Arrow arrow = arrowAbout(centre, north);
    Box box;
    for (const Point& p : {arrow.tail, arrow.head, arrow.left, arrow.right}) {
        box.add(p);
    }
    sheet.reserve(box);
    sheet.line(LayerId::Tables, {arrow.tail, arrow.head}, false, false);
    sheet.line(LayerId::Tables, {arrow.head, arrow.left, arrow.right}, true, false);
    sheet.add(arrow.letter);
}

} // namespace karumenio::layout

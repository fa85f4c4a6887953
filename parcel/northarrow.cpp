#include "mapdrawing.h"

#include "plan/plan.h"

namespace karumenio::parcel {

namespace {

// From the inner frame's corner to the arrow's centre, and the head's size, on the paper.
constexpr double kCornerInset = 15.0;
constexpr double kHeadLength = 5.0;
constexpr double kHeadHalfWidth = 2.0;

} // namespace

Box drawNorthArrow(MapDrawing& drawing) {
    const double unit = drawing.unit();
    const Box& inner = drawing.innerFrame();
    const plan::WorldPoint centre{inner.minX + kCornerInset * unit,
                                  inner.maxY - kCornerInset * unit};
    // Survey X, the direction the rotated plan shows as north.
    const plan::WorldPoint north = drawing.plan().transform.toWorld(1, 0);
    const plan::WorldPoint across{north.y, -north.x};
    auto at = [&](double along, double aside) {
        return plan::WorldPoint{centre.x + (north.x * along + across.x * aside) * unit,
                                centre.y + (north.y * along + across.y * aside) * unit};
    };
    const double half = kNorthArrowLength / 2;
    const plan::WorldPoint tail = at(-half, 0);
    const plan::WorldPoint head = at(half, 0);
    drawing.line(MapLayerId::AreaTable, {tail, head});
    const plan::WorldPoint left = at(half - kHeadLength, -kHeadHalfWidth);
    const plan::WorldPoint right = at(half - kHeadLength, kHeadHalfWidth);
    drawing.line(MapLayerId::AreaTable, {head, left, right, head});

    Box box;
    for (const plan::WorldPoint& p : {tail, head, left, right}) {
        box.add(p);
    }
    // The letter upright beyond the head, its middle on the arrow's line.
    const plan::WorldPoint beyond = at(half + 1.0 + kNorthLetterHeight / 2, 0);
    box.include(drawing.text(MapLayerId::AreaTable, "N",
                             {beyond.x, beyond.y - kNorthLetterHeight / 2 * unit},
                             kNorthLetterHeight, 0.0, TextAlignment::BottomCentre));
    return box;
}

} // namespace karumenio::parcel

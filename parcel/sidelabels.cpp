#include "mapdrawing.h"
#include "parcel.h"
#include "parcelarea.h"
#include "sidelength.h"

#include "plan/plan.h"
#include "numeric/trig.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <tuple>

namespace karumenio::parcel {

namespace {

// Between a side and its length, on the paper.
constexpr double kLengthGap = 0.75;

// The direction of the line through a and b, in degrees from world X, above −90 and up to
// 90: text along it then reads left to right, or upwards on an upright side, never upside
// down. A side upright but for rounding (a quarter turn's cosine is not quite 0) counts as
// upright.
double readableDirection(plan::WorldPoint a, plan::WorldPoint b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (dx == 0) {
        return 90.0;
    }
    const double degrees = numeric::atan(dy / dx) * (180 / std::numbers::pi);
    return std::fabs(degrees) > 90 - 1e-9 ? 90.0 : degrees;
}

using SideKey = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

// The same for a side run either way.
SideKey keyOf(const Side& side) {
    const std::pair from{side.from.x, side.from.y};
    const std::pair to{side.to.x, side.to.y};
    const auto [low, high] = std::minmax(from, to);
    return {low.first, low.second, high.first, high.second};
}

} // namespace

std::vector<Box> drawSideLengths(MapDrawing& drawing, const std::vector<Parcel>& parcels,
                                 const std::vector<ParcelArea>& areas) {
    const plan::Plan& plan = drawing.plan();
    std::vector<Box> boxes;
    std::set<SideKey> labelled;
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        // Counter-clockwise with X right and Y up is clockwise in the world, which mirrors
        // the survey axes: the inside then lies to the right of each side.
        const bool insideOnTheRight = !areas[i].signedDoubleArea.isNegative();
        for (const Side& side : sidesOf(parcels[i])) {
            if (!labelled.insert(keyOf(side)).second) {
                continue;
            }
            const plan::PlanPoint& p = plan.points[static_cast<std::size_t>(side.from.slot)];
            const plan::PlanPoint& q = plan.points[static_cast<std::size_t>(side.to.slot)];
            const plan::WorldPoint a = plan.transform.toWorld(p.x, p.y);
            const plan::WorldPoint b = plan.transform.toWorld(q.x, q.y);
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double length = std::sqrt(dx * dx + dy * dy);
            if (!(length > 0)) {
                continue;
            }
            // The outward normal, and the text's upward one.
            const double sign = insideOnTheRight ? 1.0 : -1.0;
            const plan::WorldPoint outward{-dy / length * sign, dx / length * sign};
            const double direction = readableDirection(a, b);
            const double radians = direction * std::numbers::pi / 180;
            const plan::WorldPoint up{-numeric::sin(radians), numeric::cos(radians)};
            const bool outwardIsUp = outward.x * up.x + outward.y * up.y >= 0;
            const double gap = kLengthGap * drawing.unit();
            // Above the side the text starts a gap away; below it, its top does.
            const double shift = outwardIsUp ? gap : gap + kLengthTextHeight * drawing.unit();
            const plan::WorldPoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
            const plan::WorldPoint at{middle.x + outward.x * shift, middle.y + outward.y * shift};
            boxes.push_back(drawing.text(MapLayerId::Lengths, side.lengthText(), at,
                                         kLengthTextHeight, direction,
                                         TextAlignment::BottomCentre));
        }
    }
    return boxes;
}

} // namespace karumenio::parcel

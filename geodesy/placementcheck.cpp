#include "placementcheck.h"

#include "fixeddecimals.h"
#include "transversemercator.h"

namespace karumenio::geodesy {

namespace {

bool lands(const TransverseMercator& projection, PlanePoint p) {
    const auto g = projection.toGeographic(p);
    return g && projection.system().area.contains(*g);
}

std::string warningFor(const PlaneSystem& system, PlanePoint centroid, Placement placement) {
    const std::string text = "図形の重心（" + coordinateText(centroid) + "）が平面直角座標系" +
                             systemLabel(system) + "の範囲外です。";
    switch (placement) {
    case Placement::Inside:
        return {};
    case Placement::AxesSwapped:
        return text + "X と Y が入れ替わっている可能性があります（入れ替えると範囲内になります）。";
    case Placement::XSignReversed:
        return text + "X の符号が逆になっている可能性があります。";
    case Placement::YSignReversed:
        return text + "Y の符号が逆になっている可能性があります。";
    case Placement::BothSignsReversed:
        return text + "X と Y の符号が逆になっている可能性があります。";
    case Placement::Outside:
        break;
    }
    return text + "座標系の指定か X・Y の取り方が誤っている可能性があります。";
}

} // namespace

PlacementCheck checkPlacement(const PlaneSystem& system, PlanePoint centroid) {
    const TransverseMercator projection(system);
    PlacementCheck check;
    check.position = projection.toGeographic(centroid);
    if (check.position && system.area.contains(*check.position)) {
        check.placement = Placement::Inside;
        return check;
    }
    // The slips in the order a surveyor makes them: columns exchanged first.
    const PlanePoint c = centroid;
    if (lands(projection, {c.y, c.x})) {
        check.placement = Placement::AxesSwapped;
    } else if (lands(projection, {-c.x, c.y})) {
        check.placement = Placement::XSignReversed;
    } else if (lands(projection, {c.x, -c.y})) {
        check.placement = Placement::YSignReversed;
    } else if (lands(projection, {-c.x, -c.y})) {
        check.placement = Placement::BothSignsReversed;
    } else {
        check.placement = Placement::Outside;
    }
    check.warning = warningFor(system, centroid, check.placement);
    return check;
}

} // namespace karumenio::geodesy

#pragma once

#include "coordinates.h"

#include <span>

namespace karumenio::geodesy {

// The smallest box that holds a set of plane points, and their mean: what the map and the
// check of the system are given of a plan.
struct PlaneExtent {
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
    PlanePoint centroid;

    // Of at least one point.
    static PlaneExtent of(std::span<const PlanePoint> points);
};

} // namespace karumenio::geodesy

#include "planeextent.h"

#include <algorithm>

namespace karumenio::geodesy {

PlaneExtent PlaneExtent::of(std::span<const PlanePoint> points) {
    PlaneExtent e;
    if (points.empty()) {
        return e;
    }
    e.minX = e.maxX = points.front().x;
    e.minY = e.maxY = points.front().y;
    // Summed about the first point, so that coordinates hundreds of kilometres from the origin
    // keep their millimetres in the mean.
    double sumX = 0.0;
    double sumY = 0.0;
    for (const PlanePoint p : points) {
        e.minX = std::min(e.minX, p.x);
        e.maxX = std::max(e.maxX, p.x);
        e.minY = std::min(e.minY, p.y);
        e.maxY = std::max(e.maxY, p.y);
        sumX += p.x - points.front().x;
        sumY += p.y - points.front().y;
    }
    const auto count = static_cast<double>(points.size());
    e.centroid = {points.front().x + sumX / count, points.front().y + sumY / count};
    return e;
}

} // namespace karumenio::geodesy

#include "maplink.h"

#include "fixeddecimals.h"
#include "numeric/trig.h"
#include "transversemercator.h"

#include <algorithm>
#include <cmath>

namespace karumenio::geodesy {

namespace {

// Metres a pixel covers on the equator at zoom 0: the equator's length over 256 pixels.
constexpr double kEquatorMetresPerPixel = 2.0 * 3.141592653589793 * 6378137.0 / 256.0;
constexpr double kRadiansPerDegree = 0x1.1df46a2529d39p-6;

} // namespace

int mapZoom(double latitude, double widthMetres, double heightMetres) {
    const double scale = numeric::cos(latitude * kRadiansPerDegree);
    for (int zoom = kMaximumMapZoom; zoom > kMinimumMapZoom; --zoom) {
        const double metresPerPixel = kEquatorMetresPerPixel * scale / std::ldexp(1.0, zoom);
        if (widthMetres <= kMapViewWidth * metresPerPixel &&
            heightMetres <= kMapViewHeight * metresPerPixel) {
            return zoom;
        }
    }
    return kMinimumMapZoom;
}

std::string gsiMapAddress(GeographicPoint centre, int zoom) {
    std::string address = "https://maps.gsi.go.jp/#";
    address += std::to_string(zoom);
    address += '/';
    appendFixed(address, centre.latitude, 6);
    address += '/';
    appendFixed(address, centre.longitude, 6);
    address += '/';
    return address;
}

std::optional<std::string> gsiMapAddress(const PlaneSystem& system, const PlaneExtent& extent) {
    const auto centre = TransverseMercator(system).toGeographic(extent.centroid);
    if (!centre) {
        return std::nullopt;
    }
    // The view is centred on the centroid, which need not be the middle of the box: it must
    // reach the farther side each way.
    const PlanePoint c = extent.centroid;
    const double width = 2.0 * std::max(c.y - extent.minY, extent.maxY - c.y);
    const double height = 2.0 * std::max(c.x - extent.minX, extent.maxX - c.x);
    return gsiMapAddress(*centre, mapZoom(centre->latitude, width, height));
}

} // namespace karumenio::geodesy

#pragma once

#include "coordinates.h"
#include "planeextent.h"
#include "planesystem.h"

#include <optional>
#include <string>

namespace karumenio::geodesy {

// The web map's zoom levels: 5 shows all of Japan, 18 a few houses.
constexpr int kMinimumMapZoom = 5;
constexpr int kMaximumMapZoom = 18;

// The room the map gives the plan, in screen pixels. A browser window of 1280 × 720 leaves
// the map about 1000 × 600 beside its header and side panel; the plan is fitted into 800 × 480
// of that, so that its surroundings show around it.
constexpr double kMapViewWidth = 800.0;
constexpr double kMapViewHeight = 480.0;

// The largest zoom level of the web map (tiles of 256 pixels, spherical Mercator) at which
// a box of that many metres east–west and north–south around the centre fits the view,
// between the minimum and maximum levels.
int mapZoom(double latitude, double widthMetres, double heightMetres);

// The address of the Geospatial Information Authority's web map at that place and zoom:
// "https://maps.gsi.go.jp/#ZOOM/LATITUDE/LONGITUDE/", six decimals (a decimetre).
std::string gsiMapAddress(GeographicPoint centre, int zoom);

// The address that shows the extent centred on its centroid; nothing when the centroid has no
// latitude and longitude in the system.
std::optional<std::string> gsiMapAddress(const PlaneSystem& system, const PlaneExtent& extent);

} // namespace karumenio::geodesy

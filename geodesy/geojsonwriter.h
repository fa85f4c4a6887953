#pragma once

#include "geojsoncontent.h"
#include "planesystem.h"

#include <stdexcept>
#include <string>

namespace karumenio::geodesy {

// A point that has no latitude and longitude in the system (see TransverseMercator), with a
// message for the surveyor.
class OutOfSystemError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The content as a GeoJSON FeatureCollection (UTF-8, one feature a line): each parcel a
// Polygon whose ring runs counter-clockwise with properties name, area_m2 and chiseki, each
// line of two points or more a LineString with name, each point a Point with name and its
// plane x and y (3 decimals). Longitude and latitude with 9 decimals, JGD2011 taken as
// WGS 84 and so no "crs" member.
// Throws OutOfSystemError for a point beyond the system, std::invalid_argument for a parcel
// of fewer than three vertices or an area that is not a decimal number.
std::string writeGeoJson(const GeoJsonContent& content, const PlaneSystem& system);

} // namespace karumenio::geodesy

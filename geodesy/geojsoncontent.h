#pragma once

#include "coordinates.h"

#include <string>
#include <vector>

namespace karumenio::geodesy {

// A closed parcel: its distinct vertices in order (the closing repeat of the first may be
// there or not), in either direction.
struct GeoJsonParcel {
    std::string name;
    std::vector<PlanePoint> vertices;
    // 面積 in square metres as the decimal text it is shown with ("362.500000"), written as a
    // JSON number; 地積 as the text it is registered with, written as a string.
    std::string areaSquareMetres;
    std::string chiseki;
};

// An open section: its break mark and its points in order.
struct GeoJsonLine {
    std::string name;
    std::vector<PlanePoint> points;
};

struct GeoJsonPoint {
    std::string name;
    PlanePoint position;
};

// What a plan gives the GeoJSON writer, in plane coordinates of one system.
struct GeoJsonContent {
    std::vector<GeoJsonParcel> parcels;
    std::vector<GeoJsonLine> lines;
    std::vector<GeoJsonPoint> points;
};

} // namespace karumenio::geodesy

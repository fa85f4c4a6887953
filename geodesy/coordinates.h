#pragma once

namespace karumenio::geodesy {

// A point of a plane rectangular coordinate system in metres: X to the north, Y to the east,
// as surveyors write them.
struct PlanePoint {
    double x = 0.0;
    double y = 0.0;
};

// Latitude and longitude in degrees on GRS80 (JGD2011), north and east positive.
struct GeographicPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

} // namespace karumenio::geodesy

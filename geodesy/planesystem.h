#pragma once

#include "coordinates.h"

#include <span>
#include <string>

namespace karumenio::geodesy {

// A latitude and longitude box in degrees.
struct GeographicBox {
    double south = 0.0;
    double north = 0.0;
    double west = 0.0;
    double east = 0.0;

    bool contains(GeographicPoint p) const {
        return p.latitude >= south && p.latitude <= north && p.longitude >= west &&
               p.longitude <= east;
    }
};

// One of the nineteen plane rectangular coordinate systems of Japan on JGD2011: a transverse
// Mercator projection of GRS80 about its origin, with no false easting or northing.
struct PlaneSystem {
    int number = 0;         // 1 to 19
    const char* roman = ""; // "I" to "XIX", as the system is named
    int epsg = 0;           // the EPSG code of the JGD2011 system
    // The origin in whole minutes of arc, as it is defined.
    int originLatitudeMinutes = 0;
    int originLongitudeMinutes = 0;
    double scaleFactor = 0.0; // on the central meridian
    // Where the system's land lies, with a margin: a centroid outside it points to a wrong
    // system or to axes swapped.
    GeographicBox area;

    double originLatitude() const { return originLatitudeMinutes / 60.0; }
    double originLongitude() const { return originLongitudeMinutes / 60.0; }
};

// The systems in order of their numbers.
std::span<const PlaneSystem> planeSystems();

// The system with that number, or nullptr when there is none.
const PlaneSystem* planeSystem(int number);

// How the system is named to the surveyor: "第IX系".
std::string systemLabel(const PlaneSystem& system);

// The systems from the first to the last, as messages name them: the labels ("第I系〜第XIX系")
// or the numbers ("1〜19"), joined by the separator.
std::string systemLabelRange(std::string_view separator = "〜");
std::string systemNumberRange(std::string_view separator = "〜");

} // namespace karumenio::geodesy

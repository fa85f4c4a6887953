#pragma once

#include "coordinates.h"
#include "planesystem.h"

#include <optional>
#include <string>

namespace karumenio::geodesy {

// Where a plan's centroid lands in the chosen system: on the system's land, or not and then
// the likely slip.
enum class Placement {
    Inside,
    AxesSwapped,       // with X and Y exchanged it would be inside
    XSignReversed,     // with the sign of X turned it would be inside
    YSignReversed,     // likewise for Y
    BothSignsReversed, // likewise for both
    Outside,           // none of these helps: another system, or coordinates of no system
};

struct PlacementCheck {
    Placement placement = Placement::Outside;
    // The centroid's latitude and longitude as given, when it has any.
    std::optional<GeographicPoint> position;
    // The warning for the surveyor; empty when inside.
    std::string warning;
};

PlacementCheck checkPlacement(const PlaneSystem& system, PlanePoint centroid);

} // namespace karumenio::geodesy

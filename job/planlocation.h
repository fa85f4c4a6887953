#pragma once

#include "outputformat.h"

#include "geodesy/geojsoncontent.h"

#include <optional>
#include <string>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::geodesy {
struct PlaneSystem;
}

namespace karumenio::job {

struct Settings;

// Where a plan lies in its plane rectangular coordinate system: the web map's address centred
// on its points (none when they have no latitude and longitude there), and the warning when
// their centroid falls outside the system's land (empty when inside).
struct PlanLocation {
    std::optional<std::string> mapAddress;
    std::string warning;
};

// Nothing for a plan without points.
std::optional<PlanLocation> locatePlan(const plan::Plan& plan, const geodesy::PlaneSystem& system);

// What the GeoJSON of a plan holds: each parcel with its area and 地積 under the land category
// given (its corners rounded to the millimetre, as the area table has them), each other section
// of two points or more as a line named by its break mark, and every point with its name.
geodesy::GeoJsonContent geoJsonContent(const plan::Plan& plan, const Settings& settings);

// The plan as GeoJSON in the settings' system. Without a system it throws the type-mismatch
// error (13) that says to choose one; a point beyond the system is an overflow (6) naming it.
FormatBytes geoJsonFile(const plan::Plan& plan, const Settings& settings);

} // namespace karumenio::job

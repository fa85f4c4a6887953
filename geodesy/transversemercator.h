#pragma once

#include "coordinates.h"
#include "planesystem.h"

#include <array>
#include <optional>

namespace karumenio::geodesy {

// The Gauss–Krüger projection of one plane rectangular coordinate system, by the Krüger
// series in the third flattening n (to n^5, n^6 for the latitude): far below a millimetre
// within hundreds of kilometres of the central meridian. Built on IEEE operations and the
// program's own elementary functions only, so every platform gives the same bits.
class TransverseMercator {
  public:
    explicit TransverseMercator(const PlaneSystem& system);

    // Latitude and longitude of a point given in the system; nothing for a point that is not
    // finite or lies beyond 5000 km north or south of the origin or 1000 km east or west,
    // where no system is used and the series is no longer sound.
    std::optional<GeographicPoint> toGeographic(PlanePoint p) const;

    // The point in the system; nothing for one that is not finite, lies beyond 89° of latitude
    // or more than 20° of longitude from the central meridian.
    std::optional<PlanePoint> toPlane(GeographicPoint g) const;

    const PlaneSystem& system() const { return m_system; }

  private:
    PlaneSystem m_system;
    // The radius that turns the conformal sphere's angles into metres (scaled), and the
    // meridian arc from the equator to the origin's latitude in the same metres.
    double m_radius = 0.0;
    double m_originArc = 0.0;
};

} // namespace karumenio::geodesy

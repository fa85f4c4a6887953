#pragma once

// Rows of latitude and longitude that PROJ gives for points of the plane rectangular
// coordinate systems, as tools/plane_systems_reference.py writes them:
// "number epsg roman X Y latitude longitude", "#" lines comment.

#include "geodesy/coordinates.h"
#include "numeric/conversion.h"

#include <istream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace karumenio::geodesy::test {

struct ProjRow {
    int number = 0;
    int epsg = 0;
    std::string roman;
    PlanePoint plane;
    GeographicPoint geographic;
    std::string line;
};

// Decimal text to double whatever the locale.
inline double decimal(const std::string& text) {
    double value = 0.0;
    numeric::fromChars(text.data(), text.data() + text.size(), value);
    return value;
}

inline std::optional<ProjRow> parseProjRow(const std::string& line) {
    if (line.empty() || line[0] == '#') {
        return std::nullopt;
    }
    std::istringstream fields(line);
    ProjRow row;
    std::string x, y, latitude, longitude;
    fields >> row.number >> row.epsg >> row.roman >> x >> y >> latitude >> longitude;
    if (!fields) {
        return std::nullopt;
    }
    row.plane = {decimal(x), decimal(y)};
    row.geographic = {decimal(latitude), decimal(longitude)};
    row.line = line;
    return row;
}

inline std::vector<ProjRow> readProjRows(std::istream& in) {
    std::vector<ProjRow> rows;
    for (std::string line; std::getline(in, line);) {
        if (const auto row = parseProjRow(line)) {
            rows.push_back(*row);
        }
    }
    return rows;
}

} // namespace karumenio::geodesy::test

#include "geodesy/planesystem.h"
#include "geodesy/transversemercator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace karumenio::geodesy::test {

// PROJ's latitude and longitude, and the plane coordinates the rows started from.
constexpr double kDegreeTolerance = 1e-9;
constexpr double kMetreTolerance = 1e-4;

// Checks every row against the program's projection both ways and returns a summary of the
// largest differences, for the log.
inline std::string checkAgainstProj(const std::vector<ProjRow>& rows) {
    double worstDegrees = 0.0;
    double worstMetres = 0.0;
    std::set<int> systems;
    for (const ProjRow& row : rows) {
        SCOPED_TRACE(row.line);
        const PlaneSystem* system = planeSystem(row.number);
        if (system == nullptr) {
            ADD_FAILURE() << "no system " << row.number;
            continue;
        }
        systems.insert(row.number);
        EXPECT_EQ(system->epsg, row.epsg);
        EXPECT_EQ(system->roman, row.roman);
        const TransverseMercator projection(*system);

        const auto geographic = projection.toGeographic(row.plane);
        if (!geographic) {
            ADD_FAILURE() << "no latitude and longitude";
            continue;
        }
        const double latitudeError = std::fabs(geographic->latitude - row.geographic.latitude);
        const double longitudeError = std::fabs(geographic->longitude - row.geographic.longitude);
        EXPECT_LE(latitudeError, kDegreeTolerance);
        EXPECT_LE(longitudeError, kDegreeTolerance);
        worstDegrees = std::max({worstDegrees, latitudeError, longitudeError});

        const auto plane = projection.toPlane(row.geographic);
        if (!plane) {
            ADD_FAILURE() << "no plane coordinates";
            continue;
        }
        const double planeError =
            std::max(std::fabs(plane->x - row.plane.x), std::fabs(plane->y - row.plane.y));
        EXPECT_LE(planeError, kMetreTolerance);
        worstMetres = std::max(worstMetres, planeError);
    }
    EXPECT_EQ(systems.size(), planeSystems().size());
    char summary[200];
    std::snprintf(summary, sizeof summary,
                  "%zu points in %zu systems: largest difference from PROJ %.3g degrees "
                  "(plane to latitude and longitude), %.3g mm (back to the plane)",
                  rows.size(), systems.size(), worstDegrees, worstMetres * 1000.0);
    return summary;
}

} // namespace karumenio::geodesy::test

#pragma once

#include "geodesy/planesystem.h"
#include "parcel/neighbours.h"
#include "parcel/subdivision.h"
#include "parcel/surveymap.h"
#include "plan/settings.h"

#include <optional>
#include <vector>

namespace karumenio::job {

// Everything a front end chooses for a job, handed over as one value (Job::setSettings): the
// plan's choices and what the job itself applies. A writer of an output format that needs
// more than the plan takes it from here.
struct Settings : plan::Settings {
    // The default circle radius, put into G6 when the settings are set, where the template's
    // radius chain carries it down; none leaves G6 as the sheet holds it.
    std::optional<double> defaultRadius;

    // The parcel survey map (side lengths, area table, north arrow, title block): drawn into
    // the DXF and written as KYUSEKI.SCR beside the four scripts when asked for.
    bool surveyMap = false;
    // The land category and the title block's fields. An empty date is today's, and the
    // coordinate system's field follows planeSystem, once the job has the settings.
    parcel::SurveyMapSettings map;
    // The neighbouring lots (隣接地) the surveyor lists, each along a stretch of a parcel.
    std::vector<parcel::Neighbour> neighbours;
    // A subdivision (分筆): the parent parcel, the new lots' signs, the registered area and the
    // accuracy class it is checked with; an empty parent for none.
    parcel::SubdivisionSettings subdivision;
    // The plane rectangular coordinate system the survey coordinates are in; nullptr: none
    // chosen, and then no GeoJSON, map address or placement check.
    const geodesy::PlaneSystem* planeSystem = nullptr;
};

} // namespace karumenio::job

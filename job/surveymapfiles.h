#pragma once

#include "outputformat.h"

#include "parcel/subdivision.h"
#include "parcel/surveymap.h"

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::job {

struct Settings;

// The survey map of a plan laid out with the settings' land category and title block: what the
// DXF, KYUSEKI.SCR, the preview and its PDF draw. The parcels' names and the title block's
// fields are cut and put on one line as the points' names are. What the registry asks for and
// the map lacks (checkRegistration), the closed sections that are no parcels, the names and
// fields so changed, and what the layout could not fit go into *warnings when given.
layout::SheetLayout surveyMapOf(const plan::Plan& plan, const Settings& settings,
                                std::vector<std::string>* warnings = nullptr);

// The parcels' names and title fields of the map that KYUSEKI.SCR writes changed, since a
// script line may not begin as they do (scripts::scriptText), one warning each.
std::vector<std::string> surveyMapScriptWarnings(const plan::Plan& plan, const Settings& settings);

// The area table of the plan's parcels as a CSV file (see parcel::writeAreaCsv), under the
// settings' land category.
FormatBytes areaCsvFile(const plan::Plan& plan, const Settings& settings);

// The settings' subdivision found and checked among the plan's parcels under the settings'
// land category; no parent and no warnings without one.
parcel::SubdivisionCheck subdivisionOf(const plan::Plan& plan, const Settings& settings);

// Whether text is a date of the calendar written YYYY-MM-DD ("2024-02-29", not "2023-02-29").
bool isCalendarDate(std::string_view text);

// Today's date on this computer's clock, as YYYY-MM-DD: the title block's default.
std::string todayDate();

} // namespace karumenio::job

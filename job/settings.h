#pragma once

#include "plan/settings.h"

#include <optional>

namespace karumenio::job {

// Everything a front end chooses for a job, handed over as one value (Job::setSettings): the
// plan's choices and what the job itself applies. A writer of an output format that needs
// more than the plan takes it from here.
struct Settings : plan::Settings {
    // The default circle radius, put into G6 when the settings are set, where the template's
    // radius chain carries it down; none leaves G6 as the sheet holds it.
    std::optional<double> defaultRadius;
};

} // namespace karumenio::job

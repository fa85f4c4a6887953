#pragma once

#include "drawingscale.h"
#include "papersize.h"

#include <string>
#include <string_view>

namespace karumenio::plan {

// Degrees per radian as the main window has always held it; it takes part in arithmetic as
// the double 57.29577951308232.
inline constexpr std::string_view kDegreesPerRadianText = "57.2957795130823208767981548141052";

// The choices of a job at the moment a plan is made.
struct Settings {
    // "97", "98", "2000", "2002", "20001"; empty until an edition is chosen.
    std::string versionCode;
    // nullptr when the list has no valid selection: the previous run's sheet or factor stays.
    const PaperSize* paper = &kPaperSizes[0];
    const DrawingScale* scale = &kDrawingScales[0];
    // The rotation typed as ddd.mmss.
    std::string angleText = "0.0000";
    std::string degreesPerRadianText{kDegreesPerRadianText};
};

} // namespace karumenio::plan

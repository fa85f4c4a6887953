#pragma once

#include "drawingscale.h"
#include "papersize.h"
#include "rotationangle.h"

#include <string>
#include <string_view>

namespace karumenio::plan {

// What the lists show at start-up, named by token so that a new row anywhere in a table
// leaves them as they are.
inline constexpr std::string_view kDefaultPaper = "A1";
inline constexpr std::string_view kDefaultScale = "100";

// The choices a plan is computed from, each read once.
struct Settings {
    // The edition code the scripts test: "97", "98", "2000", "2002", "20001"; empty until an
    // edition is chosen. Any other number is written too (no save line); text that is not a
    // number stops a write run.
    std::string edition;
    // Never null.
    const PaperSize* paper = &paperByToken(kDefaultPaper);
    const DrawingScale* scale = &scaleByToken(kDefaultScale);
    RotationAngle angle;
};

} // namespace karumenio::plan

#pragma once

#include <string_view>

namespace karumenio::plan {

// Degrees per radian as the main window has always held it, as text.
inline constexpr std::string_view kDegreesPerRadianText = "57.2957795130823208767981548141052";

// That text as it takes part in arithmetic, read once: 57.29577951308232, the double nearest
// to 180/π. Every conversion between degrees and radians of a plan divides or multiplies by it.
double degreesPerRadian();

} // namespace karumenio::plan

#pragma once

#include <optional>
#include <string_view>

namespace karumenio::plan {
struct Plan;
} // namespace karumenio::plan

namespace karumenio::scripts {

class ScriptFile;

// The edition code as a number; nullopt when it is empty or not a number.
std::optional<double> versionNumber(std::string_view versionCode);

// The ZAHYOU script: units, the coordinate system U1 turned by the rotation, an empty
// drawing, the text style, the sheet frame and, for a known edition, the save line. The
// plan's edition code must already have been checked to be a number.
void writeZahyouScript(ScriptFile& script, const plan::Plan& plan);

} // namespace karumenio::scripts

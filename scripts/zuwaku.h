#pragma once

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::scripts {

class ScriptFile;

// Writes the 16 lines of the sheet frame: three nested rectangles about the origin, turned,
// scaled and moved onto the centre of the data.
void ZUWAKU(ScriptFile& script, const plan::Plan& plan);

} // namespace karumenio::scripts

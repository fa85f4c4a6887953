#pragma once

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::scripts {

class ScriptFile;

// The LINE script: polylines through the points, a new one at every break mark after the
// first point.
void writeLineScript(ScriptFile& script, const plan::Plan& plan);

// The PLOT script: a circle at every point whose radius is not 0.
void writePlotScript(ScriptFile& script, const plan::Plan& plan);

// The TEXT script: the point names at their label points, at the label angle.
void writeTextScript(ScriptFile& script, const plan::Plan& plan);

} // namespace karumenio::scripts

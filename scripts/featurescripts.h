#pragma once

#include <string>
#include <vector>

namespace karumenio::points {
struct PointTable;
}

namespace karumenio::scripts {

class ScriptFile;
struct WriteState;

// The LINE script: polylines through the points, a new one at every break mark after the
// first point. Walks slots 0 to PointCount - 1 with PointIndex, which the run has reset.
void writeLineScript(ScriptFile& script, points::PointTable& table);

// The PLOT script: a circle at every point whose radius is not 0.
void writePlotScript(ScriptFile& script, points::PointTable& table);

// The TEXT script: the point names, 1.3 units from their points in the label direction.
// Stores the label angle (90 - RotationAngle) in RotationAngle and the label points in
// LabelX and LabelY. A line break inside a point name would end its line early and shift
// every command after it, so it is written as a blank and reported in warnings.
void writeTextScript(ScriptFile& script, points::PointTable& table, WriteState& state,
                     std::vector<std::string>* warnings = nullptr);

} // namespace karumenio::scripts

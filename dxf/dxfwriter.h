#pragma once

#include <string>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::dxf {

// The plan as a DXF R12 (AC1009) drawing in world coordinates, for any CAD program: the
// four layers with their colours, the frame rectangles and the boundary lines as polylines,
// the circles (a negative radius drawn as its absolute value) and the labels in one text
// style with a Japanese big font. Text is in code page 932; each label that loses
// characters in it is reported in *warnings when that is given.
std::string writeDxf(const plan::Plan& plan, std::vector<std::string>* warnings = nullptr);

} // namespace karumenio::dxf

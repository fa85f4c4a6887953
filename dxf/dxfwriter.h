#pragma once

#include <string>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::layout {
struct SheetLayout;
}

namespace karumenio::dxf {

// The plan as a DXF R12 (AC1009) drawing in world coordinates, for any CAD program: the
// four layers with their colours, the frame rectangles and the boundary lines as polylines,
// the circles (a negative radius drawn as its absolute value) and the labels in one text
// style with a Japanese big font. Text is in code page 932; each label that loses
// characters in it is reported in *warnings when that is given.
std::string writeDxf(const plan::Plan& plan, std::vector<std::string>* warnings = nullptr);

// The same drawing with the survey map added: its sheets side by side, each sheet's lines as
// polylines, its circles and its texts in the same style and code page (placed by their
// alignment point, at their paper height times the scale) on the map's layers after the
// plan's four, which are frozen: the map shows its own names, lines and frames. Texts that
// lose characters in code page 932 are reported too.
std::string writeDxf(const plan::Plan& plan, const layout::SheetLayout& map,
                     std::vector<std::string>* warnings = nullptr);

} // namespace karumenio::dxf

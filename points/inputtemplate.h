#pragma once

#include "workbook.h"

#include <string_view>

namespace karumenio::points {

// The program's own executable name, as the template's row-4 note names it.
inline constexpr std::string_view kExecutableName = "Karumenio.exe";
inline constexpr int kTemplateLastRow = 3006;

// The input workbook as shipped: one sheet "Sheet1" with title, notes, heading shapes,
// extent formulas in E6:F7 and the radius chain in G6:G3006, laid out and styled.
Workbook makeInputTemplate();

} // namespace karumenio::points

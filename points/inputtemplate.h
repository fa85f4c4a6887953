#pragma once

#include "spreadsheet/workbook.h"

#include <string_view>

namespace karumenio::points {

// The program's own executable name, as the template's row-4 note names it.
inline constexpr std::string_view kExecutableName = "Karumenio.exe";
inline constexpr int kTemplateLastRow = 3006;

// Calculated: the formulas' values are there. Held: the sheet's recalculation is held, for a
// caller that fills it further before anyone looks at a value and then releases it.
enum class TemplateValues { Calculated, Held };

// The input workbook as shipped: one sheet "Sheet1" with title, notes, heading shapes,
// extent formulas in E6:F7 and the radius chain in G6:G3006, laid out and styled.
spreadsheet::Workbook makeInputTemplate(TemplateValues values = TemplateValues::Calculated);

} // namespace karumenio::points

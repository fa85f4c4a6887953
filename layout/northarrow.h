#pragma once

#include "sheetbuilder.h"

namespace karumenio::layout {

// The space the north arrow takes about its centre, for a north of length 1.
Box northArrowBox(Point north);

// Draws the arrow about its centre: a shaft towards north with a closed head and an upright N
// beyond it; keeps its box clear.
void drawNorthArrow(SheetBuilder& sheet, Point centre, Point north);

} // namespace karumenio::layout

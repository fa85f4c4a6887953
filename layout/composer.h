#pragma once

#include "pieces.h"
#include "sheetlayout.h"

namespace karumenio::layout {

// Lays out the pieces on sheets of the paper at the scale: each sheet with its frame, north
// arrow and title block; the tables from the inner frame's upper right corner leftwards,
// continued on further sheets; the drawings centred in the space left, together on the first
// sheet where they fit and else each on a sheet of its own; every text at its paper height
// where it meets no other text, line or symbol. Without a paper or a scale there is no sheet,
// and a message says why.
SheetLayout composeLayout(const LayoutRequest& request);

} // namespace karumenio::layout

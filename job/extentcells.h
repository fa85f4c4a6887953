#pragma once

#include "plan/extent.h"

namespace karumenio::spreadsheet {
class Worksheet;
}

namespace karumenio::job {

// Cells that bound the data: E6 largest and E7 smallest first coordinate, F6 and F7 the same
// for the second coordinate. The template computes them from the whole columns C and D.
inline constexpr int kExtentMaxRow = 6;
inline constexpr int kExtentMinRow = 7;
inline constexpr int kExtentFirstColumn = 5;
inline constexpr int kExtentSecondColumn = 6;

// The extent cells as numbers, read in the order E6, E7, F6, F7: an empty cell counts as 0,
// text that reads as a number takes part as that number, and anything else is a type
// mismatch (13) naming the cell.
plan::Extent readExtent(const spreadsheet::Worksheet& dataSheet);

} // namespace karumenio::job

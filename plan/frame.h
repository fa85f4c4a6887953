#pragma once

namespace karumenio::points {
class Worksheet;
}

namespace karumenio::plan {

struct Settings;
struct WriteState;

// Cells that bound the data: E6 largest and E7 smallest first coordinate, F6 and F7 the same
// for the second coordinate.
inline constexpr int kExtentMaxRow = 6;
inline constexpr int kExtentMinRow = 7;
inline constexpr int kExtentFirstColumn = 5;
inline constexpr int kExtentSecondColumn = 6;

// The sheet frame: three nested rectangles about the origin in millimetres of paper, and the
// centre of the extent cells of the data sheet that they are moved onto. Updates the frame
// values and ScaleFactor of the state (whose degrees-per-radian must be set); a paper or
// scale without a valid selection keeps the previous run's values. An extent cell holding
// text that is not a number is a type mismatch naming that cell, with the state untouched.
void computeFrame(const points::Worksheet& dataSheet, const Settings& settings, WriteState& state);

} // namespace karumenio::plan

#pragma once

#include <array>
#include <string_view>

namespace karumenio::points {
class Worksheet;
}

namespace karumenio::scripts {

class ScriptFile;
struct WriteState;

// A sheet of the paper list: the direction of its lower-left corner from the centre, in
// degrees, and half its diagonal in millimetres.
struct PaperSize {
    std::string_view listText;
    double firstCornerAngle;
    double halfDiagonal;
};

// A drawing scale of the scale list; the factor is the denominator divided by 1000.
struct DrawingScale {
    std::string_view listText;
    double factor;
};

inline constexpr std::array<PaperSize, 5> kPaperSizes{{
    {"A1", 234.7663889, 514.8099164},
    {"A2", 234.7369444, 363.7430412},
    {"A3", 234.7341667, 257.200797},
    {"A4（横）", 234.7369444, 181.8715206},
    {"A4（縦）", 215.2630556, 181.8715206},
}};

inline constexpr std::array<DrawingScale, 9> kDrawingScales{{
    {"1:100", 0.1},
    {"1:200", 0.2},
    {"1:300", 0.3},
    {"1:400", 0.4},
    {"1:500", 0.5},
    {"1:1000", 1.0},
    {"1:2000", 2.0},
    {"1:3000", 3.0},
    {"1:5000", 5.0},
}};

// Cells that bound the data: E6 largest and E7 smallest first coordinate, F6 and F7 the same
// for the second coordinate.
inline constexpr int kExtentMaxRow = 6;
inline constexpr int kExtentMinRow = 7;
inline constexpr int kExtentFirstColumn = 5;
inline constexpr int kExtentSecondColumn = 6;

// Writes the 16 lines of the sheet frame: three nested rectangles about the origin, turned,
// scaled and moved onto the centre of the extent cells of the data sheet. Every value is
// computed before the first line is written; an extent cell holding text that is not a
// number is a type mismatch naming that cell. Updates the frame values and ScaleFactor of
// the state; an index outside its table keeps the previous run's values.
void ZUWAKU(ScriptFile& script, const points::Worksheet& dataSheet, int paperIndex, int scaleIndex,
            WriteState& state);

} // namespace karumenio::scripts

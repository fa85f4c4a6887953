#pragma once

#include <array>
#include <string_view>

namespace karumenio::plan {

// A sheet of the paper list. The frame is drawn about the origin from two constants of the
// sheet, rounded as the surveyors' plans have always used them, so that the corners lie a few
// thousandths of a millimetre at most off the exact sheet. The sheet size is the sheet as it lies
// on the plan, after the frame's quarter turn.
struct PaperSize {
    // What the command line and settings call it.
    std::string_view token;
    // What the main window's list shows.
    std::string_view listText;
    // The direction of the lower-left corner: 180° + atan(sheetWidth / sheetHeight), rounded
    // to whole seconds of arc and written in degrees to 7 decimals.
    double firstCornerAngle;
    // The radius of the corners: half the sheet's diagonal in millimetres, to 7 decimals.
    double halfDiagonal;
    double sheetWidth;
    double sheetHeight;
};

inline constexpr auto kPaperSizes = std::to_array<PaperSize>({
    {"A1", "A1", 234.7663889, 514.8099164, 841, 594},
    {"A2", "A2", 234.7369444, 363.7430412, 594, 420},
    {"A3", "A3", 234.7341667, 257.200797, 420, 297},
    {"A4L", "A4（横）", 234.7369444, 181.8715206, 297, 210},
    {"A4P", "A4（縦）", 215.2630556, 181.8715206, 210, 297},
    {"B4L", "B4（横）", 234.7761111, 222.7919433, 364, 257},
    {"B4P", "B4（縦）", 215.2238889, 222.7919433, 257, 364},
});

// The sheet with this token; nullptr when there is none.
const PaperSize* findPaper(std::string_view token);

// The sheet of a token written in the program; a token of no sheet does not compile.
consteval const PaperSize& paperByToken(std::string_view token) {
    for (const PaperSize& paper : kPaperSizes) {
        if (paper.token == token) {
            return paper;
        }
    }
    throw "no paper of this token";
}

} // namespace karumenio::plan

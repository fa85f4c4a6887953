#pragma once

#include <array>
#include <string_view>

namespace karumenio::plan {

// A drawing scale of the scale list. The factor is the denominator divided by 1000: a sheet
// drawn in millimetres and multiplied by it covers, in metres, the ground it shows.
struct DrawingScale {
    // The denominator, as the command line and settings name it.
    std::string_view token;
    std::string_view listText;
    double factor;
    // Whether the registration rules allow it for a parcel survey map (1:250 where it suits
    // the lot, else 1:100 to 1:1000), so that a map's fit suggestion offers only these.
    bool surveyMap;
};

inline constexpr auto kDrawingScales = std::to_array<DrawingScale>({
    {"100", "1:100", 0.1, true},
    {"200", "1:200", 0.2, true},
    {"250", "1:250", 0.25, true},
    {"300", "1:300", 0.3, true},
    {"400", "1:400", 0.4, false},
    {"500", "1:500", 0.5, true},
    {"600", "1:600", 0.6, true},
    {"1000", "1:1000", 1.0, true},
    {"2000", "1:2000", 2.0, false},
    {"3000", "1:3000", 3.0, false},
    {"5000", "1:5000", 5.0, false},
});

// The scale with this token; nullptr when there is none.
const DrawingScale* findScale(std::string_view token);

// The scale of a token written in the program; a token of no scale does not compile.
consteval const DrawingScale& scaleByToken(std::string_view token) {
    for (const DrawingScale& scale : kDrawingScales) {
        if (scale.token == token) {
            return scale;
        }
    }
    throw "no scale of this token";
}

} // namespace karumenio::plan

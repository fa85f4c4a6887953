#pragma once

#include <array>
#include <string_view>

namespace karumenio::plan {

// A drawing-program edition the scripts can be written for. The code is what the scripts
// test (and what the command line takes); the button text is what the main window shows.
struct Edition {
    std::string_view code;
    std::string_view buttonText;
};

inline constexpr auto kEditions = std::to_array<Edition>({
    {"97", "LT 97"},
    {"98", "LT 98"},
    {"2000", "LT 2000"},
    {"2002", "LT 2002"},
    {"20001", "2000(R)"},
});

// The edition with this code; nullptr when there is none.
const Edition* findEdition(std::string_view code);

} // namespace karumenio::plan

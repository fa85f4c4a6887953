#pragma once

#include "spreadsheet/messagetext.h"

#include <cstddef>
#include <string_view>

namespace karumenio::points {

// The longest point name (or break mark) that is written, in characters: a name is a label on
// the plan, and a longer one only floods the drawing and its files.
inline constexpr std::size_t kLongestPointName = 256;

// The name cut to kLongestPointName characters; the name itself when it is not longer.
inline std::string_view cutPointName(std::string_view name) {
    return name.substr(0, spreadsheet::utf8Prefix(name, kLongestPointName));
}

} // namespace karumenio::points

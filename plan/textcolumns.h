#pragma once

#include <string_view>

namespace karumenio::plan {

// The characters of a UTF-8 text by the room they take: half-width (ASCII and half-width
// katakana) and full-width (everything else).
struct TextColumns {
    int halfWidth = 0;
    int fullWidth = 0;

    // In half-width columns, a full-width character counting two.
    int total() const { return halfWidth + 2 * fullWidth; }
};

TextColumns textColumns(std::string_view utf8);

} // namespace karumenio::plan

#pragma once

#include "spreadsheet/messagetext.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::points {

// The longest point name (or break mark) that is written, in characters: a name is a label on
// the plan, and a longer one only floods the drawing and its files.
inline constexpr std::size_t kLongestPointName = 256;

// The name cut to kLongestPointName characters; the name itself when it is not longer.
inline std::string_view cutPointName(std::string_view name) {
    return name.substr(0, spreadsheet::utf8Prefix(name, kLongestPointName));
}

// A name (a point's, a parcel's, a title field) as a drawing writes it: cut at
// kLongestPointName characters, and on one line, since a line break would end a script line
// early and shift every command after it and other control characters (NUL, TAB, ESC…) are
// worse in a script: each becomes a blank (CR LF counts as one). Each change adds a warning
// that begins with what, the cell or field ("セル B8 の測点名", "表題欄の作成者"). Bytes that
// are no UTF-8 become U+FFFD.
std::string drawnName(std::string name, std::string_view what, std::vector<std::string>& warnings);

} // namespace karumenio::points

#pragma once

#include <string>
#include <string_view>

namespace karumenio::points {

// A cell's or field's text as a message quotes it: long texts are cut (on a UTF-8 character
// boundary) and marked with "…", so that a huge field cannot flood a message box or stderr.
inline std::string quotedInMessage(std::string_view text, std::size_t mostBytes = 64) {
    if (text.size() <= mostBytes) {
        return std::string(text);
    }
    std::size_t end = mostBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end)) + "…";
}

} // namespace karumenio::points

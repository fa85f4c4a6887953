#pragma once

#include <string>
#include <string_view>

namespace karumenio::spreadsheet {

// The text cut on a UTF-8 character boundary at or before mostBytes, with "…" added, which no
// number ends in: how a field too long to be kept is kept. Text within the bytes stays whole.
inline std::string cutText(std::string_view text, std::size_t mostBytes) {
    if (text.size() <= mostBytes) {
        return std::string(text);
    }
    std::size_t end = mostBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end)) + "…";
}

// A cell's or field's text as a message quotes it: long texts are cut (on a UTF-8 character
// boundary) and marked with "…", so that a huge field cannot flood a message box or stderr.
inline std::string quotedInMessage(std::string_view text, std::size_t mostBytes = 64) {
    return cutText(text, mostBytes);
}

// The number of bytes that hold the first mostCharacters characters of UTF-8 text: where a
// name longer than that is cut.
inline std::size_t utf8Prefix(std::string_view text, std::size_t mostCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            characters++ == mostCharacters) {
            return i;
        }
    }
    return text.size();
}

} // namespace karumenio::spreadsheet

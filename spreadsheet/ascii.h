#pragma once

// Character tests and case folding for ASCII only. Formulas, cell names and sheet names fold
// case byte by byte, so neither the C locale nor UTF-8 lead bytes may take part.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace karumenio::spreadsheet::ascii {

// Where the first byte at or after pos that is not ASCII lies, or the size when there is none.
// Scripts and points files are mostly ASCII: eight bytes are looked at in one step.
inline std::size_t endOfAscii(std::string_view text, std::size_t pos = 0) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (pos + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
        pos += 8;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr char toUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char toLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace karumenio::spreadsheet::ascii

#pragma once

// Character tests and case folding for ASCII only. Formulas, cell names and sheet names fold
// case byte by byte, so neither the C locale nor UTF-8 lead bytes may take part.

namespace karumenio::points::ascii {

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

} // namespace karumenio::points::ascii

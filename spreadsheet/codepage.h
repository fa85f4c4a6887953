#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::spreadsheet {

// Code page 932 is what the drawing program reads on the surveyors' Japanese systems.
// Each character it cannot hold becomes "?", and the character (UTF-8) is appended to
// *unmappable when that is given.
std::string toCp932(std::string_view utf8, std::vector<std::string>* unmappable = nullptr);

// Decodes code page 932 bytes; nullopt when they are not valid code page 932.
std::optional<std::string> cp932ToUtf8(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// Appends the UTF-8 of a character of the Basic Multilingual Plane (no character code page
// 932 knows lies past it).
void appendUtf8(std::string& out, char32_t c);

// Length in bytes of the UTF-8 sequence that starts with this byte (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char lead);

} // namespace karumenio::spreadsheet

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {

struct Plan;

// Text for the drawing program, in code page 932: each character code page 932 cannot hold
// becomes "?", and *lostAny is set when one did.
std::string toDrawingCodePage(std::string_view utf8, bool* lostAny = nullptr);

// The characters of a text that code page 932 cannot hold, each in 「」, in their order;
// empty when it holds them all.
std::string unmappableCharacters(std::string_view utf8);

// One warning per label that code page 932 cannot hold whole, naming its cell and the
// characters written as "?".
void warnUnmappableLabels(const Plan& plan, std::vector<std::string>& warnings);

} // namespace karumenio::plan

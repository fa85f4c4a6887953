#pragma once

#include <string>
#include <string_view>

namespace karumenio::geodesy {

// Appends text as a JSON string, quotes included: quotes, backslashes and control characters
// escaped, other characters as UTF-8. Bytes that are not UTF-8 become U+FFFD each, so the
// result is always valid JSON whatever the text held.
void appendJsonString(std::string& out, std::string_view text);

// Whether text is a JSON number ("-12.5", "0.000000", "1e-3"; not "+1", ".5", "01" or "1.").
bool isJsonNumber(std::string_view text);

} // namespace karumenio::geodesy

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {
struct SurveyMap;
}

namespace karumenio::scripts {

class ScriptFile;

inline constexpr std::string_view kKyusekiFileName = "KYUSEKI.SCR";

// The survey map as a fifth script, run after the ZAHYOU script like the other three: the
// same entities at the same world positions as in the DXF, drawn with the commands and text
// forms the four scripts use, so that every edition runs it. It draws in the survey system U1
// (points as "x,y" of the survey, text angles turned the way the TEXT script turns its own),
// one layer after the other; the text heights are set on the style ROMANS, which gets its
// height of 3.0 back before the end, since the TEXT script relies on it.
void writeKyusekiScript(ScriptFile& script, const plan::Plan& plan, const parcel::SurveyMap& map);

struct EncodedScript {
    std::string bytes;
    std::vector<std::string> warnings;
};

// The script in code page 932, with a warning for each text that lost characters.
EncodedScript kyusekiScript(const plan::Plan& plan, const parcel::SurveyMap& map);

} // namespace karumenio::scripts

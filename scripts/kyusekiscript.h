#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::layout {
struct SheetLayout;
}

namespace karumenio::scripts {

class ScriptFile;

inline constexpr std::string_view kKyusekiFileName = "KYUSEKI.SCR";

// The survey map as a fifth script, run after the four: the same sheets with the same
// entities at the same world positions as in the DXF, drawn with the commands and text forms
// the four scripts use, so that every edition runs it. It freezes the plan's four layers once
// its first layer is current (the map draws its own frames, lines and names), then draws in
// the survey system U1 (points as "x,y" of the survey, text angles turned the way the TEXT
// script turns its own), one layer after the other; the text heights are set on the style
// ROMANS, which gets its height of 3.0 back before the end, since the TEXT script relies on it.
void writeKyusekiScript(ScriptFile& script, const plan::Plan& plan, const layout::SheetLayout& map);

struct EncodedScript {
    std::string bytes;
    std::vector<std::string> warnings;
};

// The script in code page 932, with a warning for each text that lost characters.
EncodedScript kyusekiScript(const plan::Plan& plan, const layout::SheetLayout& map);

} // namespace karumenio::scripts

#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::scripts {

// File names of the four scripts, in the order a run writes them.
inline constexpr std::array<std::string_view, 4> kScriptFileNames{"ZAHYOU.SCR", "LINE.SCR",
                                                                  "PLOT.SCR", "TEXT.SCR"};

// The four scripts of one run, complete and encoded for the drawing program (code page 932),
// before anything is written to disk.
struct ScriptSet {
    std::string zahyou;
    std::string line;
    std::string plot;
    std::string text;
    // Japanese: the plan's warnings, then one per point name that lost characters in the
    // encoding.
    std::vector<std::string> warnings;

    // The bytes of a script by its position in kScriptFileNames.
    const std::string& bytes(std::size_t index) const;
};

// The four scripts of a plan, formatted and encoded for the drawing program. The plan's
// edition must be a number (the write run checks it first).
ScriptSet writeScripts(const plan::Plan& plan);

} // namespace karumenio::scripts

#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::transaction {

// What the recovery of an interrupted file set may touch in a folder: the files the program
// itself writes there, named exactly (the scripts) or by their extension (a drawing or survey
// file of a run), and never a file that the run reads. A journal naming anything else was
// not written by this program, and its word is not taken for it.
struct RecoveryScope {
    // Exact UTF-8 file names.
    std::vector<std::string> names;
    // ".dxf": any plain name ending so, without regard to case.
    std::vector<std::string> extensions;
    // Files the run reads; a recovery leaves them alone whatever their name.
    std::vector<std::filesystem::path> inputs;

    // True when a journal in folder may name this file (one plain UTF-8 name) as a target.
    bool admits(const std::filesystem::path& folder, std::string_view name) const;
};

} // namespace karumenio::transaction

#pragma once

#include "scripts/outputset.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace karumenio::job {

// What one write run writes (the four scripts into a folder, a DXF and a SIMA file where
// asked for) and what it read, which it must not write over.
struct WriteTargets {
    std::filesystem::path folder;
    // False for a run that writes only the SIMA file, as a converter.
    bool scripts = true;
    std::optional<std::filesystem::path> dxf;
    std::optional<std::filesystem::path> sima;
    // The points file the job was read from; a recovery leaves it alone too.
    std::vector<std::filesystem::path> inputs;

    // Every file the run writes, with what the messages call it.
    std::vector<scripts::RunFile> outputs() const;
    // The folders the run writes into.
    std::vector<std::filesystem::path> folders() const;

    // Refuses, before anything is written, outputs that clash (scripts::OutputClash): two that
    // are one file, one that is the points file, a name the run keeps for its journal and
    // temporary files, or a DXF or SIMA file named like one of the scripts.
    void check() const;
};

} // namespace karumenio::job

#pragma once

#include "transaction/outputset.h"
#include "transaction/recoveryscope.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace karumenio::job {

struct OutputFormat;

// A file of an output format that a run writes.
struct FormatTarget {
    const OutputFormat* format;
    std::filesystem::path path;
};

// What one write run writes (the four scripts into a folder, and files of the output formats)
// and what it read, which it must not write over. Made in memory, the scripts are named
// without a folder when the folder is empty, and each file by its path as given.
struct WriteTargets {
    std::filesystem::path folder;
    // False for a run that writes only the format files, as a converter.
    bool scripts = true;
    // KYUSEKI.SCR, the survey map, as a fifth script into the folder after the four: the job
    // sets it from its settings when a run with scripts asks for the survey map.
    bool surveyMapScript = false;
    std::vector<FormatTarget> files;
    // The points file the job was read from; a recovery leaves it alone too.
    std::vector<std::filesystem::path> inputs;

    // The four scripts into the folder, and nothing else.
    static WriteTargets scriptsInto(std::filesystem::path folder);

    // The names of the scripts the run writes into the folder, in their order: none, four, or
    // five with the survey map.
    std::vector<std::string_view> scriptNames() const;
    // Every file the run writes, in the order it writes them, with what the messages call it.
    std::vector<transaction::RunFile> outputs() const;
    // The folders the run writes into.
    std::vector<std::filesystem::path> folders() const;
    // What the recovery of an interrupted run may touch in those folders.
    transaction::RecoveryScope recoveryScope() const;

    // Refuses, before anything is written, outputs that clash (transaction::OutputClash): two that
    // are one file, one that is the points file, a name the run keeps for its journal and
    // temporary files, a format's file named like one of the scripts (KYUSEKI.SCR too,
    // whether this run writes it or not), or one whose name the recovery of an interrupted run
    // would not take for the program's own (no output's extension, a trailing dot or blank).
    void check() const;
};

} // namespace karumenio::job

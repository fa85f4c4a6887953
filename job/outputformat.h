#pragma once

#include "transaction/recoveryscope.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::layout {
struct SheetLayout;
}

namespace karumenio::job {

struct Settings;

// What a writer of an output format is given: the plan, the job's settings, and the file it
// writes (a path, or a name alone when the files are made in memory).
struct FormatInput {
    const plan::Plan& plan;
    const Settings& settings;
    const std::filesystem::path& target;
    // The survey map the run drew when the settings ask for one; a drawing writer draws it
    // itself when it is not given.
    const layout::SheetLayout* surveyMap = nullptr;
};

// A file's bytes, and what the surveyor should know about them (Japanese).
struct FormatBytes {
    std::string bytes;
    std::vector<std::string> warnings;
};

// A file that a write run makes from the plan beside the scripts. The command line offers
// each as an option, the preview as an export, and the write run writes it into the same
// all-or-nothing set as the scripts.
struct OutputFormat {
    // The format's name for the program ("dxf").
    std::string_view token;
    // The command line's option, which takes the file's path ("--dxf").
    std::string_view option;
    // What the option does, for the command line's help (one sentence, wrapped there).
    std::string_view help;
    // What the preview's export button and messages call it ("DXF"; "DXF ファイル").
    std::string_view name;
    std::string_view role;
    // The save dialog's filter, and the ending a name gets when it has none; formats may
    // share an ending, since the token is what tells them apart.
    std::string_view filter;
    std::string_view extension;
    // The name the file gets where the surveyor names none (the browser's download).
    std::string_view defaultName;
    // False when the plan's points alone make the file: a run without the scripts then
    // computes (and can fail on) nothing more of the plan.
    bool drawing;
    FormatBytes (*write)(const FormatInput& input);
};

// Every output format, in the order the help and the preview list them.
std::span<const OutputFormat> outputFormats();

// The format with this token; nullptr when there is none.
const OutputFormat* findFormat(std::string_view token);

// What the recovery of an interrupted write may touch in a folder the outputs go to: the
// scripts by name, the files of every output format by their extension (each once), and never
// the files the run reads.
transaction::RecoveryScope outputFolderScope(std::vector<std::filesystem::path> inputs = {});

} // namespace karumenio::job

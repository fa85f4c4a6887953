#pragma once

#include "plan/settings.h"
#include "survey/pointsfile.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace karumenio::cli {

// What the command line asks for, already turned into the main window's settings. The
// arguments are UTF-8 on every system.
struct CliOptions {
    plan::Settings settings;
    double defaultRadius = 0.0;
    std::filesystem::path outFolder;
    // Where the DXF of the plan goes, written in the same run as the scripts; empty: none.
    std::filesystem::path dxfFile;
    std::filesystem::path pointsFile;
    // How the points file is read: its format, header line and columns.
    survey::OpenOptions open;
    // Where the read points go as a SIMA file; empty: none. Without an edition only this
    // file is written, so the tool serves as a converter.
    std::filesystem::path simaFile;
    bool help = false;
};

// A command line that cannot be understood; the message says what was wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

CliOptions parseArguments(const std::vector<std::string>& arguments);

// An --angle text that is not a plain ddd.mmss number (an optional sign, digits, a point and
// decimals whose minutes and seconds are under 60) is read the way the angle box reads it;
// this says which angle that gave. Empty for a plain text, and for one too large to be read,
// which stops the run with its own error.
std::string angleWarning(const std::string& text);

std::string usageText();

} // namespace karumenio::cli

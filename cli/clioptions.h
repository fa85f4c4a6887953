#pragma once

#include "job/settings.h"
#include "job/writetargets.h"
#include "survey/pointsfile.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace karumenio::cli {

// What the command line asks for, already turned into the job's settings. The arguments are
// UTF-8 on every system.
struct CliOptions {
    job::Settings settings;
    // A warning about the --angle text (angleWarning); empty when it was plain.
    std::string angleWarning;
    // Other options given that the run does not use, each said in a warning.
    std::vector<std::string> warnings;
    std::filesystem::path outFolder;
    std::filesystem::path pointsFile;
    // A table of marks (point names with 境界標 and 種別) opened over the points file; empty for
    // none.
    std::filesystem::path marksFile;
    // How the points file is read: its format, header line and columns.
    survey::OpenOptions open;
    // The files of the output formats asked for, one per format, in the table's order; they
    // are written in the same run as the scripts. Without an edition only they are written,
    // so that the tool serves as a converter.
    std::vector<job::FormatTarget> files;
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
// this says which angle that gave, as it does for a plain one of a whole turn or more. Empty
// for a plain text under 360 degrees, and for one too large to be read, which stops the run
// with its own error.
std::string angleWarning(const std::string& text);

std::string usageText();

} // namespace karumenio::cli

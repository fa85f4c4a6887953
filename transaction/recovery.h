#pragma once

#include "fileoperations.h"
#include "journal.h"
#include "recoveryscope.h"

#include <filesystem>
#include <string>
#include <vector>

namespace karumenio::transaction {

// What putting a journal's targets in order left to say.
struct Settled {
    // A line for each file a step failed on, saying where its content is.
    std::string failed;
    // The files left as they were because their content is not what the journal recorded
    // ("「LINE.SCR」"): the program cannot show that it wrote them.
    std::vector<std::string> left;
};

// Finishes (forward) or undoes the journal's set in folder, touching a file only when its
// name carries the journal's token and its content is what the journal recorded: new files
// are renamed onto targets that still hold the old content (or none), old files put back onto
// targets that hold the new content, and new and old files removed once their place is
// settled. An empty new file is a run's own that it died writing, and goes too. Before the
// commit mark no target was touched, so an undo then only removes the new files.
Settled settle(const std::filesystem::path& folder, const Journal& journal, bool forward,
               const FileOperations& operations);

// Finishes a set interrupted in folder when it had decided to (its deciding journal carries
// the commit mark), else undoes it, and removes its journal; a deciding journal first passes
// its decision on to the set's other folders. Returns what was done, in Japanese, or nothing
// when there was nothing to do. Only the names the scope admits are touched, and only files
// (never a folder); a journal that names anything else, or is a link or too long to be one,
// is renamed aside with a warning. A file it cannot put right, or a journal that is a folder
// or a special file, is error 75 with a message saying what to do.
std::vector<std::string> recoverFolder(const std::filesystem::path& folder,
                                       const RecoveryScope& scope,
                                       const FileOperations& operations);

} // namespace karumenio::transaction

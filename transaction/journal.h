#pragma once

#include "recoveryscope.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::transaction {

// The record a file set keeps in each folder it replaces files in, while it does so: per
// target its new file and, where there was one, the old file moved aside, all three plain
// names in that folder (never paths), so that a copy of the folder is repaired in the copy.
// "commit" follows once every new file is complete, "rollback" when the run gave up after it.
struct Journal {
    struct Entry {
        std::string target;
        std::string temporary;
        // Empty when there was no old file to keep.
        std::string backup;
    };

    // The largest journal read back; a set of a few files takes a few kilobytes.
    static constexpr std::size_t kSizeLimit = 64 * 1024;

    std::vector<Entry> entries;
    bool committed = false;
    bool rolledBack = false;
    // What the journal held that was not a set's own record (a name out of scope, text in no
    // shape of a journal), as a message quotes it; such parts are left alone.
    std::vector<std::string> foreign;

    // The journal's text before the commit mark.
    static std::string text(const std::vector<Entry>& entries);
    static std::string_view commitMark();
    static std::string_view rollBackMark();

    // Reads a journal found in folder. Entries that are not a set's own (a target the scope
    // does not admit, a new or old file that is not named after its target) are left out and
    // listed in foreign; a journal cut short by a crash is read as far as it goes.
    static Journal parse(std::string_view text, const std::filesystem::path& folder,
                         const RecoveryScope& scope);
};

} // namespace karumenio::transaction

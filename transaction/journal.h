#pragma once

#include "fingerprint.h"
#include "recoveryscope.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::transaction {

// The record a file set keeps in each folder it replaces files in, while it does so. It names
// the run's token, which the new file ("~NAME.<token>.tmp") and the old one moved aside
// ("~NAME.<token>.bak") carry, and per target its plain name in that folder (never a path, so
// that a copy of the folder is repaired in the copy) with the size and SHA-256 of the new
// content and of the old one: the recovery touches a file only when name, token and content
// all agree with it. "commit" follows once every new file is complete and on the disk,
// "rollback" when the run gave up after it.
//
// A set over several folders has one journal per folder; the first one decides for all. It
// lists the others' paths, and each of them the path of the one that decides, so that a run
// into any of the folders finishes or undoes the whole set the same way.
struct Journal {
    struct Entry {
        std::string target;
        Fingerprint newFile;
        // Missing when there was no old file to keep; a file or a link otherwise.
        Fingerprint oldFile;
    };

    // The largest journal read back; a set of a few files takes a few kilobytes.
    static constexpr std::size_t kSizeLimit = 64 * 1024;

    std::string token;
    // The deciding journal's path (UTF-8); empty in the deciding journal itself.
    std::string decider;
    // In the deciding journal, the paths of the set's other journals.
    std::vector<std::string> followers;
    std::vector<Entry> entries;
    bool committed = false;
    bool rolledBack = false;
    // What the journal held that was not a set's own record (a name out of scope, text in no
    // shape of a journal), as a message quotes it; such parts are left alone.
    std::vector<std::string> foreign;

    // True when the set is to be finished rather than undone, by the marks of this journal.
    bool goesForward() const { return committed && !rolledBack; }

    // The journal's text before the commit mark.
    std::string text() const;
    static std::string_view commitMark();
    static std::string_view rollBackMark();

    // The names beside a target that carry the run's token.
    std::string temporaryName(const Entry& entry) const;
    std::string backupName(const Entry& entry) const;

    // Reads a journal found in folder. Entries that are not a set's own (a target the scope
    // does not admit, or named twice) are left out and listed in foreign; a journal cut short
    // by a crash is read as far as it goes.
    static Journal parse(std::string_view text, const std::filesystem::path& folder,
                         const RecoveryScope& scope);
    // The token, the decider, the followers and the marks alone, as another folder's recovery
    // reads them; nothing when the text is no journal of this shape.
    static std::optional<Journal> parseHead(std::string_view text);
};

} // namespace karumenio::transaction

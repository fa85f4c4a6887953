#pragma once

#include "filenames.h"
#include "fileoperations.h"
#include "recoveryscope.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::transaction {

// Replaces several files all or nothing. Every file is first written next to its target
// under a temporary name that carries the run's token, which nobody can guess, created
// exclusively and flushed to the disk; the old targets are then moved aside and the new files
// renamed into place, and if one rename fails the files already replaced get their old
// contents back. A journal in each folder the set writes into lists that folder's names and
// the size and hash of each new and old content while this happens, so that a run killed
// half-way is finished or undone by the next one (recover()), the same way in every folder.
class AtomicFileSet {
  public:
    // The journal's name; one set at a time writes into a folder.
    static constexpr std::string_view kJournalName = transaction::kJournalName;

    void add(std::filesystem::path target, std::string bytes);

    // Checks every target before anything is created: two targets that are one file, or a
    // name the set keeps for itself, are refused (OutputClash); a missing or unwritable
    // folder, a target that is a folder or read-only, each fail with the file-access error
    // (75) and a message naming the file. Any later failure leaves every target as it was,
    // also with error 75. The caller holds the folders' locks (FolderSession) when others
    // may write.
    void commit(const FileOperations& operations = FileOperations::system()) const;

    // Finishes a set interrupted in this folder when it had decided to, else puts the old
    // files back, and removes the set's temporary and backup files and its journal; see
    // recoverFolder. Returns what was done, in Japanese, or nothing when there was nothing to
    // do.
    static std::vector<std::string>
    recover(const std::filesystem::path& folder, const RecoveryScope& scope,
            const FileOperations& operations = FileOperations::system());

  private:
    struct Entry {
        std::filesystem::path target;
        std::string bytes;
    };
    std::vector<Entry> m_entries;
};

} // namespace karumenio::transaction

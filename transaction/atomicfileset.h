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
// under a temporary name of its own that nobody can guess, created exclusively; the old
// targets are then moved aside and the new files renamed into place, and if one rename fails
// the files already replaced get their old contents back. A journal in each folder the set
// writes into lists that folder's names while this happens, so that a run killed half-way is
// finished or undone there by the next one (recover()).
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

    // Finishes a set interrupted in this folder when all its new files were complete, else
    // puts the old files back, and removes the set's temporary and backup files and its
    // journal. Only the names the scope admits are touched, and only files (never a folder);
    // a journal that names anything else, or is a link or too long to be one, is renamed
    // aside with a warning. Returns what was done, in Japanese, or nothing when there was
    // nothing to do. A file it cannot put right, or a journal that is a folder or a special
    // file, is error 75 with a message saying what to do.
    static std::vector<std::string> recover(const std::filesystem::path& folder,
                                            const RecoveryScope& scope);

  private:
    struct Entry {
        std::filesystem::path target;
        std::string bytes;
    };
    std::vector<Entry> m_entries;
};

} // namespace karumenio::transaction

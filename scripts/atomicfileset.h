#pragma once

#include "fileoperations.h"

#include <filesystem>
#include <string>
#include <vector>

namespace karumenio::scripts {

// Replaces several files all or nothing. Every file is first written next to its target
// under a temporary name; the targets are then replaced by renaming, and if one rename
// fails the files already replaced get their old contents back. Backups of the old files
// live until all targets are in place.
class AtomicFileSet {
  public:
    void add(std::filesystem::path target, std::string bytes);

    // Checks every target before anything is created: a missing or unwritable folder, a
    // target that is a folder or read-only, each fail with the file-access error (75) and a
    // message naming the file. Any later failure leaves every target as it was, also with
    // error 75.
    void commit(const FileOperations& operations = FileOperations::system()) const;

  private:
    struct Entry {
        std::filesystem::path target;
        std::string bytes;
    };
    std::vector<Entry> m_entries;
};

} // namespace karumenio::scripts

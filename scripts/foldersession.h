#pragma once

#include "fileoperations.h"
#include "platform.h"
#include "writereport.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace karumenio::scripts {

// One writer in a folder at a time: holds the folder's lock for as long as it lives and,
// once it has the lock, finishes or undoes a write that was interrupted there. Every write
// into a folder opens one before its own checks, so that even a write that then fails leaves
// a consistent set of files behind.
class FolderSession {
  public:
    // Waits up to the operations' lockWait for another writer to finish, then fails with the
    // file-access error (75), changing nothing. A folder that does not exist is left to the
    // write's own checks.
    explicit FolderSession(const std::filesystem::path& folder,
                           const FileOperations& operations = FileOperations::system());
    ~FolderSession();
    FolderSession(const FolderSession&) = delete;
    FolderSession& operator=(const FolderSession&) = delete;

    // What the recovery did, in Japanese; empty when the folder was in order.
    const std::vector<std::string>& recovered() const { return m_recovered; }

    // Runs a write under the session: what the recovery did comes first among the report's
    // warnings, and is added to the message of an error the write throws.
    WriteReport run(const std::function<WriteReport()>& write) const;

  private:
    platform::LockHandle m_lock = platform::kNoLock;
    std::vector<std::string> m_recovered;
};

} // namespace karumenio::scripts

#pragma once

#include "fileoperations.h"
#include "platform.h"
#include "recoveryscope.h"
#include "writereport.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace karumenio::transaction {

// One writer in a folder at a time: holds the folders' locks for as long as it lives and,
// once it has them, finishes or undoes a write that was interrupted in each (touching only
// what the scope admits). Every write into a folder opens one before its own checks, so that
// even a write that then fails leaves a consistent set of files behind.
class FolderSession {
  public:
    // Waits up to the operations' lockWait for another writer to finish, then fails with the
    // file-access error (75), changing nothing. A folder that does not exist is left to the
    // write's own checks. Folders named twice, however spelt, are locked once, and all in one
    // order, so that two runs into the same two folders cannot hold one each.
    FolderSession(const std::vector<std::filesystem::path>& folders, const RecoveryScope& scope,
                  const FileOperations& operations = FileOperations::system());
    FolderSession(const std::filesystem::path& folder, const RecoveryScope& scope,
                  const FileOperations& operations = FileOperations::system());
    ~FolderSession();
    FolderSession(const FolderSession&) = delete;
    FolderSession& operator=(const FolderSession&) = delete;

    // What the recovery did, in Japanese; empty when the folders were in order.
    const std::vector<std::string>& recovered() const { return m_recovered; }

    // Runs a write under the session: what the recovery did comes first among the report's
    // warnings, and is added to the message of an error the write throws, which then no
    // longer says that nothing was changed.
    WriteReport run(const std::function<WriteReport()>& write) const;

  private:
    void release();

    std::vector<platform::LockHandle> m_locks;
    std::vector<std::string> m_recovered;
};

} // namespace karumenio::transaction

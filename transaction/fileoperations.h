#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace karumenio::transaction {

// Whether the steps of a write wait for the disk: new files and the journal's marks flushed
// before the renames that rely on them, the folders' names after. Without it a power loss can
// leave a renamed file empty.
enum class Flushing { ToDisk, None };

// Every file-system step of replacing a set of files and of recovering an interrupted one,
// replaceable so that tests can make a chosen step fail, or stop the run there as a kill would.
struct FileOperations {
    // Creates a new file holding exactly these bytes; false when that fails. It never
    // replaces or follows anything already at that name.
    std::function<bool(const std::filesystem::path&, std::string_view)> createFile;
    // Appends to an existing journal what `what` returns for the text it holds (nothing when
    // empty); false when the name holds no such file or the write fails.
    std::function<bool(const std::filesystem::path&,
                       const std::function<std::string(std::string_view)>& what)>
        appendFile;
    // Renames, replacing an existing target.
    std::function<void(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::error_code&)>
        rename;
    // Removes a file or a link (never a folder); a name already gone is no failure.
    std::function<void(const std::filesystem::path&)> removeFile;
    // Puts a folder's names on the disk; false when that fails.
    std::function<bool(const std::filesystem::path&)> flushFolder;
    // How long a write waits for another one into the same folder to finish.
    std::chrono::milliseconds lockWait{3000};

    // The real file system.
    static FileOperations system(Flushing flushing = Flushing::ToDisk);

    // These operations with before called ahead of each step, with the file the step is on:
    // a test counts the steps, or stops the run at one as a kill would (by throwing).
    FileOperations observed(std::function<void(const std::filesystem::path&)> before) const;
};

} // namespace karumenio::transaction

#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

namespace karumenio::transaction {

// The file-system steps of replacing a set of files, replaceable so that tests can make a
// chosen step fail.
struct FileOperations {
    // Creates a new file holding exactly these bytes; false when that fails. It never
    // replaces or follows anything already at that name.
    std::function<bool(const std::filesystem::path&, std::string_view)> createFile;
    // Renames, replacing an existing target.
    std::function<void(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::error_code&)>
        rename;
    // How long a write waits for another one into the same folder to finish.
    std::chrono::milliseconds lockWait{3000};

    // The real file system.
    static FileOperations system();
};

} // namespace karumenio::transaction

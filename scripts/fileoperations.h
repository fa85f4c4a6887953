#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

namespace karumenio::scripts {

// The file-system steps of replacing a set of files, replaceable so that tests can make a
// chosen step fail.
struct FileOperations {
    // Creates a new file holding exactly these bytes; false when that fails.
    std::function<bool(const std::filesystem::path&, std::string_view)> createFile;
    // Renames, replacing an existing target.
    std::function<void(const std::filesystem::path& from, const std::filesystem::path& to,
                       std::error_code&)>
        rename;

    // The real file system.
    static FileOperations system();
};

} // namespace karumenio::scripts

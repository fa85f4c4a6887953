#include "platform.h"

#include <cstdlib>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace karumenio::scripts::platform {

namespace {

bool hasNoWritePermission(const std::filesystem::path& path) {
    using std::filesystem::perms;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return false;
    }
    const perms anyWrite = perms::owner_write | perms::group_write | perms::others_write;
    return (status.permissions() & anyWrite) == perms::none;
}

} // namespace

std::filesystem::path defaultScriptFolder() {
#ifdef _WIN32
    return std::filesystem::path(L"C:\\");
#else
    // A stand-in for drive C on systems that have none.
    if (const char* drive = std::getenv("KARUMENIO_DRIVE_C"); drive != nullptr && *drive != 0) {
        return std::filesystem::path(drive);
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
        return std::filesystem::path(home);
    }
    std::error_code error;
    return std::filesystem::current_path(error);
#endif
}

bool isReadOnlyFile(const std::filesystem::path& file) {
#ifdef _WIN32
    // The read-only attribute shows as missing write permissions.
    return hasNoWritePermission(file);
#else
    // Without any write bit the file counts as read-only even for the superuser, who could
    // otherwise replace it.
    return hasNoWritePermission(file) || ::access(file.c_str(), W_OK) != 0;
#endif
}

bool folderDeniesWriting(const std::filesystem::path& folder) {
#ifdef _WIN32
    (void)folder;
    return false;
#else
    return hasNoWritePermission(folder) || ::access(folder.c_str(), W_OK | X_OK) != 0;
#endif
}

std::string displayPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace karumenio::scripts::platform

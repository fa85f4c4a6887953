#pragma once

// The few things that differ between Windows and the other systems.

#include <filesystem>
#include <string>

namespace karumenio::scripts::platform {

inline constexpr bool kIsWindows =
#ifdef _WIN32
    true;
#else
    false;
#endif

// The folder the scripts go to unless the user names another.
std::filesystem::path defaultScriptFolder();

// True when an existing file must not be replaced: marked read-only, or not writable by us.
bool isReadOnlyFile(const std::filesystem::path& file);

// True when the folder is known not to take new files. On Windows the read-only mark of a
// folder means nothing, so only creating a file tells.
bool folderDeniesWriting(const std::filesystem::path& folder);

// The path as UTF-8, for messages.
std::string displayPath(const std::filesystem::path& path);

} // namespace karumenio::scripts::platform

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::scripts {

// Drive C on Windows; elsewhere $KARUMENIO_DRIVE_C when set and not empty, else the home
// folder.
std::filesystem::path defaultScriptFolder();

// The message shown after a complete run. Off Windows a second line names the folder, since
// it is not drive C there.
std::string completionMessage(const std::filesystem::path& folder);

inline constexpr std::string_view kCompletionTitle = "SCR作成";

} // namespace karumenio::scripts

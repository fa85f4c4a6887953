#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::job {

inline constexpr std::string_view kCompletionTitle = "SCR作成";

// The message shown after a complete run. A second line names the folder unless it is the
// root of drive C on Windows.
std::string completionMessage(const std::filesystem::path& folder);

} // namespace karumenio::job

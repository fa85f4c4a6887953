#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::job {

inline constexpr std::string_view kCompletionTitle = "SCR作成";

// The message shown after a complete run. A second line names the folder unless it is the
// root of drive C on Windows.
std::string completionMessage(const std::filesystem::path& folder);

// The message after a run into a folder the surveyor knows by the name given: a folder away
// from drive C, the folder chosen in the browser, or its downloads (ダウンロード).
std::string completionMessageIn(std::string_view folderName);

} // namespace karumenio::job

#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::job {

inline constexpr std::string_view kCompletionTitle = "SCR作成";

// The message shown after a complete run. A second line names the folder unless it is the
// root of drive C on Windows.
std::string completionMessage(const std::filesystem::path& folder);

// The message after a run written into a folder on this computer: the folder is named in the
// first line (drive C on Windows keeps the program's own words), and a run with the survey map
// says that KYUSEKI.SCR goes after ZAHYOU.SCR.
std::string folderCompletionMessage(const std::filesystem::path& folder, bool surveyMap);

} // namespace karumenio::job

#pragma once

#include "recoveryscope.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::scripts {

// $KARUMENIO_DRIVE_C when set and not empty; else drive C on Windows and the home folder
// elsewhere.
std::filesystem::path defaultScriptFolder();

// The message shown after a complete run. A second line names the folder unless it is the
// root of drive C on Windows.
std::string completionMessage(const std::filesystem::path& folder);

inline constexpr std::string_view kCompletionTitle = "SCR作成";

// What the recovery of an interrupted run may touch in an output folder: the four scripts,
// and a DXF or SIMA file written with them; never the files the run reads.
RecoveryScope outputFolderScope(std::vector<std::filesystem::path> inputs = {});

} // namespace karumenio::scripts

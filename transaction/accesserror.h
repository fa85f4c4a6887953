// The failures of the file transaction as the surveyor sees them: run-time error 75 with the
// file named in 「」, as the write run has always reported them.
#pragma once

#include "platform.h"

#include "spreadsheet/runtimeerror.h"

#include <filesystem>
#include <string>

namespace karumenio::transaction {

[[noreturn]] inline void throwAccess(const std::string& message) {
    throw spreadsheet::RunTimeError(spreadsheet::RunError::PathFileAccess, message);
}

inline std::string quoted(const std::filesystem::path& path) {
    return "「" + platform::displayPath(path) + "」";
}

} // namespace karumenio::transaction

#pragma once

#include <filesystem>
#include <string>

namespace karumenio::bench {

// Rows as a spreadsheet copies them: break mark every 50th point, name, X, Y, radius.
std::string pointRows(int count);

void writePointsFile(const std::filesystem::path& path, int count);

} // namespace karumenio::bench

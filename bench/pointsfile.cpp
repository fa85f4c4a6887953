#include "pointsfile.h"

#include <fstream>

namespace karumenio::bench {

std::string pointRows(int count) {
    std::string rows;
    rows.reserve(static_cast<std::size_t>(count) * 40);
    for (int i = 0; i < count; ++i) {
        rows += i % 50 == 0 ? "K\t" : "\t";
        rows += "測点" + std::to_string(i) + "\t";
        rows += std::to_string(10000.0 + i * 1.25) + "\t" + std::to_string(-5000.0 + i * 0.75);
        rows += "\t" + std::to_string(i % 7) + "\r\n";
    }
    return rows;
}

void writePointsFile(const std::filesystem::path& path, int count) {
    std::ofstream(path, std::ios::binary) << pointRows(count);
}

} // namespace karumenio::bench

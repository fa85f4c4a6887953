#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace karumenio::scripts {

// What a completed write run did: the files it replaced, and anything the surveyor should
// know about them (in Japanese).
struct WriteReport {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> warnings;
};

} // namespace karumenio::scripts

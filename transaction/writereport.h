#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::transaction {

// The sentence that ends the message of a write that failed before it changed anything.
inline constexpr std::string_view kNothingChanged = "ファイルは何も変更していません。";

// What a completed write run did: the files it replaced, and anything the surveyor should
// know about them (in Japanese).
struct WriteReport {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> warnings;
};

} // namespace karumenio::transaction

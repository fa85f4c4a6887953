#pragma once

// The committed table of hard arguments for the correctly rounded sine, cosine and arc tangent: a
// row a line, "function argument-bits result-bits what", bits in hexadecimal; "#" lines comment.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace karumenio::numeric::test {

struct HardCase {
    std::string function;
    std::uint64_t argument = 0;
    std::uint64_t result = 0;
    std::string what;
};

inline std::filesystem::path hardCasePath() {
    return std::filesystem::path(KARUMENIO_TEST_DATA) / "trig_hard_cases.txt";
}

// A row, or nothing for a comment or blank line.
inline std::optional<HardCase> parseHardCase(const std::string& line) {
    if (line.empty() || line[0] == '#') {
        return std::nullopt;
    }
    std::istringstream fields(line);
    HardCase c;
    fields >> c.function >> std::hex >> c.argument >> c.result;
    std::getline(fields >> std::ws, c.what);
    return c;
}

inline std::vector<HardCase> readHardCases() {
    std::vector<HardCase> cases;
    std::ifstream in(hardCasePath());
    for (std::string line; std::getline(in, line);) {
        if (const auto c = parseHardCase(line)) {
            cases.push_back(*c);
        }
    }
    return cases;
}

} // namespace karumenio::numeric::test

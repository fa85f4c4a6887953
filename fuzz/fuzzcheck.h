#pragma once

// What the fuzz targets share: stopping on a broken promise, and where to make files.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace karumenio::fuzz {

// Stops the run with the message, which libFuzzer reports with the input.
inline void check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "%s\n", what.c_str());
        std::abort();
    }
}

// A folder in memory where there is one: the disk's waits for thousands of small files would
// otherwise take most of each run.
inline std::filesystem::path scratchFolder() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

} // namespace karumenio::fuzz

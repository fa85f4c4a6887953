#pragma once

// Starts a program the way another program would, with no shell in between, and waits for it:
// what the tests need to drive the command-line tool as a separate process.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace karumenio::test {

struct Process {
    std::filesystem::path program;
    // UTF-8; each reaches the program as one argument, blanks and quotes included.
    std::vector<std::string> arguments;
    // Set or replaced on top of this process's environment.
    std::vector<std::pair<std::string, std::string>> environment;
    // Empty: this process's current folder.
    std::filesystem::path workingFolder;
    std::filesystem::path stdoutFile;
    std::filesystem::path stderrFile;
};

// Runs the program to its end with nothing on its standard input and its two outputs written
// to the files. Returns its exit status, or -1 when it could not be started or was killed.
int runProcess(const Process& process);

} // namespace karumenio::test

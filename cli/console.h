#pragma once

// What the tool takes from and gives to the system around it that differs on Windows.

#include <string>
#include <vector>

namespace karumenio::cli {

// The arguments after the program name, as UTF-8. Windows hands main() its arguments in the
// ANSI code page, which turns most Japanese names into "?", so there they are taken from the
// program's UTF-16 command line instead.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Makes a Windows console show the UTF-8 the messages are written in; output that goes to a
// file or a pipe gets the same bytes either way.
void useUtf8Console();

} // namespace karumenio::cli

// The projection against PROJ itself on a dense grid over every system's area of use: PROJ
// computes the reference values now (through Debian's pyproj), so this runs where they are
// installed and is skipped, saying so, where they are not.
#include "projtable.h"

#include "support/process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace karumenio;

namespace {

// Points per side of each system's grid: 625 a system, about 12 000 in all.
constexpr int kGrid = 25;
// The reference tool's exit status when pyproj is missing.
constexpr int kSkipped = 77;

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PlaneProjectionAgainstProj, DenseGridOfEverySystemWithinANanodegree) {
    const std::filesystem::path python = "/usr/bin/python3";
    if (!std::filesystem::exists(python)) {
        GTEST_SKIP() << "no " << python << ": install python3-pyproj to compare with PROJ";
    }
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("karumenio-proj-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    const auto table = folder / "reference.txt";
    test::Process process;
    process.program = python;
    process.arguments = {KARUMENIO_SOURCE_DIR "/tools/plane_systems_reference.py", "--grid",
                         std::to_string(kGrid), "--out", table.string()};
    process.stdoutFile = folder / "out.txt";
    process.stderrFile = folder / "err.txt";
    const int status = test::runProcess(process);
    const std::string errors = contents(process.stderrFile);
    std::ifstream in(table);
    const auto rows = geodesy::test::readProjRows(in);
    in.close();
    std::filesystem::remove_all(folder);
    if (status == kSkipped) {
        GTEST_SKIP() << errors;
    }
    ASSERT_EQ(status, 0) << errors;
    ASSERT_EQ(rows.size(), 19u * (kGrid * kGrid + 1));
    std::printf("%s\n", geodesy::test::checkAgainstProj(rows).c_str());
}

} // namespace

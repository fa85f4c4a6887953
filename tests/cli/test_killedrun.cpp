// The command-line tool killed at each system call of a run that writes the scripts into one
// folder and the DXF into another (strace delivers SIGKILL on entering the Nth call of each
// kind): the next run into the folders leaves the five files all old or all new, and none of
// the names the run keeps for itself. And what a power loss would need, seen in the calls the
// tool makes: every new file and the journals on the disk before the first rename, the
// folders' names after the last.
#include "support/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kStrace = "/usr/bin/strace";
const char* const kFiles[] = {"drive/ZAHYOU.SCR", "drive/LINE.SCR", "drive/PLOT.SCR",
                              "drive/TEXT.SCR", "drawings/plan.dxf"};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class KilledRun : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kStrace)) {
            GTEST_SKIP() << "strace is not installed (tools/setup.sh installs it)";
        }
        m_dir = fs::temp_directory_path() /
                ("karumenio-killedrun-" + std::to_string(std::random_device()()));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(m_dir, error);
    }

    // Empty folders, or the old files of an earlier run (TEXT.SCR had not been written).
    void reset(bool old) {
        for (const char* folder : {"drive", "drawings"}) {
            fs::remove_all(m_dir / folder);
            fs::create_directories(m_dir / folder);
        }
        for (const char* file : kFiles) {
            if (old && std::string(file) != "drive/TEXT.SCR") {
                std::ofstream(m_dir / file, std::ios::binary) << "old " << file;
            }
        }
    }
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> found;
        for (const char* folder : {"drive", "drawings"}) {
            for (const auto& entry : fs::directory_iterator(m_dir / folder)) {
                found[fs::relative(entry.path(), m_dir).generic_string()] = slurp(entry.path());
            }
        }
        return found;
    }
    // The tool on the worked example, in the test's folder; through strace when given.
    int run(std::vector<std::string> arguments, std::vector<std::string> strace = {}) {
        karumenio::test::Process process;
        process.program = KARUMENIO_CLI;
        arguments.push_back(KARUMENIO_TEST_DATA "/worked_example.tsv");
        if (!strace.empty()) {
            process.program = kStrace;
            strace.push_back(KARUMENIO_CLI);
            arguments.insert(arguments.begin(), strace.begin(), strace.end());
            // The leak checker of a sanitizer build cannot run under ptrace.
            const char* asan = std::getenv("ASAN_OPTIONS");
            process.environment.emplace_back("ASAN_OPTIONS", std::string(asan ? asan : "") +
                                                                 (asan ? ":" : "") +
                                                                 "detect_leaks=0");
        }
        process.arguments = std::move(arguments);
        process.workingFolder = m_dir;
        process.stdoutFile = m_dir / "stdout";
        process.stderrFile = m_dir / "stderr";
        return karumenio::test::runProcess(process);
    }

    fs::path m_dir;
};

const std::vector<std::string> kWrite = {"--edition", "2000",  "--out",
                                         "drive",     "--dxf", "drawings/plan.dxf"};

TEST_F(KilledRun, TheNextRunLeavesTheSetAllOldOrAllNewAfterAKillAtAnySystemCall) {
    reset(false);
    ASSERT_EQ(run(kWrite), 0) << slurp(m_dir / "stderr");
    const std::map<std::string, std::string> newFiles = files();
    reset(true);
    const std::map<std::string, std::string> oldFiles = files();

    // The next run puts the folders in order and then stops at its edition, so that what the
    // recovery left is what the test sees: into both folders, or into one and then the other.
    const std::vector<std::vector<std::vector<std::string>>> nextRuns = {
        {{"--edition", "x", "--out", "drive", "--dxf", "drawings/plan.dxf"}},
        {{"--edition", "x", "--out", "drive"}, {"--edition", "x", "--out", "drawings"}},
        {{"--edition", "x", "--out", "drawings"}, {"--edition", "x", "--out", "drive"}}};
    int kills = 0;
    for (const char* call : {"openat", "write", "fsync", "fchmodat", "rename", "unlink"}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(call) + " " + std::to_string(n));
            reset(true);
            const int status = run(
                kWrite, {"-f", "-o", "/dev/null", "-e",
                         "inject=" + std::string(call) + ":signal=KILL:when=" + std::to_string(n)});
            if (status == 0) {
                EXPECT_EQ(files(), newFiles);
                break;
            }
            ASSERT_EQ(status, -1) << "neither written nor killed: " << slurp(m_dir / "stderr");
            ++kills;
            for (const auto& next : nextRuns[static_cast<std::size_t>(n) % nextRuns.size()]) {
                EXPECT_EQ(run(next), 1) << slurp(m_dir / "stderr");
            }
            const auto left = files();
            std::string shown;
            for (const auto& [name, bytes] : left) {
                // Named captures: clang 14, the sanitizer build's compiler, cannot capture a
                // structured binding.
                const auto is = [&name = name, &bytes = bytes](const auto& set) {
                    return set.contains(name) && set.at(name) == bytes;
                };
                shown += name + (is(newFiles) ? " new\n" : is(oldFiles) ? " old\n" : " other\n");
            }
            EXPECT_TRUE(left == oldFiles || left == newFiles) << shown;
        }
    }
    EXPECT_GT(kills, 20);
}

TEST_F(KilledRun, NewFilesAndMarksReachTheDiskBeforeTheRenamesAndTheFoldersAfter) {
    reset(true);
    const fs::path trace = m_dir / "trace";
    ASSERT_EQ(run(kWrite, {"-f", "-y", "-e", "trace=fsync,rename,renameat,renameat2", "-o",
                           trace.string()}),
              0)
        << slurp(m_dir / "stderr");
    // The calls in order: "fsync PATH" (the file or folder flushed) and "rename FROM".
    std::vector<std::pair<std::string, std::string>> calls;
    std::istringstream lines(slurp(trace));
    for (std::string line; std::getline(lines, line);) {
        if (const auto at = line.find("fsync("); at != std::string::npos) {
            const auto open = line.find('<', at);
            calls.emplace_back("fsync", line.substr(open + 1, line.find('>', open) - open - 1));
        } else if (const auto at = line.find("rename"); at != std::string::npos) {
            const auto quote = line.find('"', at);
            calls.emplace_back("rename",
                               line.substr(quote + 1, line.find('"', quote + 1) - quote - 1));
        }
    }
    const auto first = std::find_if(calls.begin(), calls.end(),
                                    [](const auto& call) { return call.first == "rename"; });
    const auto last = std::find_if(calls.rbegin(), calls.rend(), [](const auto& call) {
                          return call.first == "rename";
                      }).base();
    ASSERT_NE(first, calls.end()) << slurp(trace);
    const auto flushedBefore = [&](const fs::path& path) {
        return std::any_of(calls.begin(), first, [&](const auto& call) {
            return call.first == "fsync" && fs::path(call.second) == path;
        });
    };
    int newFiles = 0;
    for (auto call = first; call != last; ++call) {
        if (call->first == "rename" && call->second.ends_with(".tmp")) {
            ++newFiles;
            EXPECT_TRUE(flushedBefore(m_dir / call->second)) << call->second;
        }
    }
    EXPECT_EQ(newFiles, 5);
    for (const char* folder : {"drive", "drawings"}) {
        EXPECT_TRUE(flushedBefore(m_dir / folder / "~karumenio.journal")) << folder;
        EXPECT_TRUE(std::any_of(last, calls.end(),
                                [&](const auto& call) {
                                    return call.first == "fsync" &&
                                           fs::path(call.second) == m_dir / folder;
                                }))
            << folder << " after the renames";
    }
}

} // namespace

// Peak memory and message size of the command-line tool on points files at the 64 MB limit:
// SIMA files of millions of parcel references (to a point that exists and to one that does
// not) or of points, CSV files of millions of rows, of one huge name, of blank lines. Each
// file is accepted or refused; either way the tool should stay under 300 MB and write under
// 64 KB of messages. Prints one line per file and exits non-zero when a target is missed.
#include "spreadsheet/codepage.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFileSize = std::size_t{64} << 20;
constexpr double kPeakTargetMiB = 300.0;
constexpr double kMessageTargetKiB = 64.0;

// The head, then the record repeated up to the size limit, then the tail.
std::string filled(const std::string& head, const std::string& record, const std::string& tail) {
    std::string text = head;
    text.reserve(kFileSize);
    while (text.size() + record.size() + tail.size() <= kFileSize) {
        text += record;
    }
    return text + tail;
}

std::string numberedRecords(const std::string& head,
                            const std::function<std::string(int)>& record) {
    std::string text = head;
    text.reserve(kFileSize);
    for (int i = 1;; ++i) {
        const std::string next = record(i);
        if (text.size() + next.size() > kFileSize) {
            return text;
        }
        text += next;
    }
}

struct Input {
    const char* name;
    const char* fileName;
    std::function<std::string()> bytes;
};

const Input kInputs[] = {
    {"SIMA, references to a point", "refs.sim",
     [] {
         return filled("A00,\r\nA01,1,P1,10.000,20.000,\r\nA99,\r\nD00,1,L1,1,\r\n", "B01,1,\r\n",
                       "D99,\r\n");
     }},
    {"SIMA, references to a missing point", "missing.sim",
     [] {
         return filled("A00,\r\nA01,1,P1,10.000,20.000,\r\nA99,\r\nD00,1,L1,1,\r\n", "B01,9,\r\n",
                       "D99,\r\n");
     }},
    {"SIMA, points of one number", "same.sim",
     [] { return filled("A00,\r\n", "A01,1,P,1,2,\r\n", "A99,\r\n"); }},
    {"SIMA, a name of half-width kana (CP932)", "kana.sim",
     [] {
         const std::string kana = karumenio::spreadsheet::toCp932("ｱ");
         return filled("A00,\r\nA01,1,", kana, ",10.000,20.000,\r\nA99,\r\n");
     }},
    {"CSV, numbered rows", "rows.csv",
     [] {
         return numberedRecords("点名,X座標,Y座標\r\n", [](int i) {
             return "P" + std::to_string(i) + "," + std::to_string(i) + ".5,-" + std::to_string(i) +
                    ".25\r\n";
         });
     }},
    {"CSV, one name of 64 MB", "name.csv",
     [] { return filled("K\t", "N", "\t1\t2\n\tP2\t3\t4\n"); }},
    {"CSV, 3001 rows and blank lines", "blank.csv",
     [] {
         std::string head;
         for (int i = 1; i <= 3001; ++i) {
             head += "\tP" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\n";
         }
         return filled(head, "\n", "");
     }},
};

struct Outcome {
    int status = -1;
    double peakMiB = 0.0;
    double messagesKiB = 0.0;
    double seconds = 0.0;
};

Outcome runTool(const fs::path& input, const fs::path& folder) {
    std::vector<std::string> words = {KARUMENIO_CLI,
                                      "--edition",
                                      "2000",
                                      "--out",
                                      folder.string(),
                                      "--sima-out",
                                      (folder / "out.sim").string(),
                                      input.string()};
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const fs::path out = folder / "stdout";
    const fs::path err = folder / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.messagesKiB = static_cast<double>(fs::file_size(out) + fs::file_size(err)) / 1024.0;
    return outcome;
}

} // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / "karumenio-bench-memory";
    fs::create_directories(folder);
    bool missed = false;
    std::printf("%-44s %6s %10s %12s %8s\n", "points file (64 MB)", "exit", "peak MiB",
                "messages KiB", "seconds");
    for (const Input& input : kInputs) {
        const fs::path file = folder / input.fileName;
        // Made in a child of its own: a peak of this process would count as the tool's, which
        // starts from its memory.
        if (const pid_t maker = fork(); maker == 0) {
            const std::string bytes = input.bytes();
            std::ofstream(file, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            _exit(0);
        } else {
            waitpid(maker, nullptr, 0);
        }
        const Outcome outcome = runTool(file, folder);
        const bool over =
            outcome.peakMiB >= kPeakTargetMiB || outcome.messagesKiB >= kMessageTargetKiB;
        missed = missed || over || outcome.status < 0;
        std::printf("%-44s %6d %10.1f %12.2f %8.2f%s\n", input.name, outcome.status,
                    outcome.peakMiB, outcome.messagesKiB, outcome.seconds,
                    over ? "  over the target" : "");
        fs::remove(file);
    }
    fs::remove_all(folder);
    std::printf("targets: peak under %.0f MiB, messages under %.0f KiB\n", kPeakTargetMiB,
                kMessageTargetKiB);
    return missed ? 1 : 0;
}

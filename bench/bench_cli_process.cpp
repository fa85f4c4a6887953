// The whole command-line tool as a surveyor's other programs run it: one process for 3001
// points. Reports wall time per run and the child's peak resident memory.
#include "pointsfile.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

void BM_CliProcess3001Points(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "karumenio-bench-cli";
    fs::create_directories(dir);
    const fs::path input = dir / "points.tsv";
    karumenio::bench::writePointsFile(input, 3001);

    std::vector<std::string> words = {KARUMENIO_CLI, "--edition", "2000", "--out", dir.string(),
                                      input.string()};
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);

    long peakKiB = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("karumenio-cli could not be started");
            break;
        }
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("karumenio-cli failed");
            break;
        }
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
    fs::remove_all(dir);
}
BENCHMARK(BM_CliProcess3001Points)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

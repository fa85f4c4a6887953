// Whole processes as the surveyor meets them: the command-line tool on 3001 points, and the
// desktop program from launch to its main window painted. Reports wall time per run and the
// child's peak resident memory; the command-line run also its median against a bare process
// start.
#include "pointsfile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Runs the program to its end; returns its peak memory in KiB, or -1 when it failed.
long runToEnd(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (auto& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double secondsOf(const std::vector<std::string>& words, long& peakKiB) {
    const auto start = std::chrono::steady_clock::now();
    peakKiB = runToEnd(words);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs the program once per iteration; returns the wall time of each run in seconds. With
// bareSeconds, each iteration also times a start of a program that does nothing, spawned and
// awaited the same way: the floor under any whole-process figure, taken turn about with the
// program so that both see the same moments of the machine.
std::vector<double> runRepeatedly(benchmark::State& state, const std::vector<std::string>& words,
                                  std::vector<double>* bareSeconds = nullptr) {
    long peakKiB = 0;
    std::vector<double> seconds;
    for (auto _ : state) {
        long peak = 0;
        if (bareSeconds != nullptr) {
            state.PauseTiming();
            bareSeconds->push_back(secondsOf({"/bin/true"}, peak));
            state.ResumeTiming();
        }
        seconds.push_back(secondsOf(words, peak));
        if (peak < 0) {
            state.SkipWithError((words[0] + " failed").c_str());
            break;
        }
        peakKiB = std::max(peakKiB, peak);
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
    return seconds;
}

void BM_CliProcess3001Points(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "karumenio-bench-cli";
    fs::create_directories(dir);
    const fs::path input = dir / "points.tsv";
    karumenio::bench::writePointsFile(input, 3001);
    std::vector<double> bareSeconds;
    const std::vector<double> seconds = runRepeatedly(
        state, {KARUMENIO_CLI, "--edition", "2000", "--out", dir.string(), input.string()},
        &bareSeconds);
    // Both medians come from the same moments, so the ratio holds across machines and loads.
    const double bare = median(bareSeconds);
    state.counters["bare_start_ms"] = bare * 1000.0;
    state.counters["median_ms"] = median(seconds) * 1000.0;
    state.counters["x_bare_start"] = bare > 0.0 ? median(seconds) / bare : 0.0;
    fs::remove_all(dir);
}
BENCHMARK(BM_CliProcess3001Points)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef KARUMENIO_DESKTOP
void BM_DesktopProcessStartUpToMainWindowShown(benchmark::State& state) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    runRepeatedly(state, {KARUMENIO_DESKTOP, "--quit-when-shown"});
}
BENCHMARK(BM_DesktopProcessStartUpToMainWindowShown)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace

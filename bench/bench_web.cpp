// The browser page's session natively, step by step as the page's benchmark (web/bench) times
// it in Chromium, on the same 3001 rows: a paste that replaces the earlier job, the read, the
// plan for the preview and the write run into memory. The two side by side show what the
// WebAssembly build costs.
#include "pointsfile.h"

#include "job/session.h"

#include <benchmark/benchmark.h>

#include "plan/drawingscale.h"
#include "plan/papersize.h"

#include <stdexcept>
#include <string>

using namespace karumenio;

namespace {

constexpr int kPoints = 3001;

job::Settings pageSettings() {
    job::Settings settings;
    settings.edition = "2000";
    settings.paper = plan::findPaper("A1");
    settings.scale = plan::findScale("1000");
    settings.angle = plan::RotationAngle("30.0000");
    return settings;
}

// A session with the rows pasted and read.
struct ReadSession {
    ReadSession() {
        session.edits().paste(6, 1, bench::pointRows(kPoints), false);
        if (!session.read().ok) {
            throw std::runtime_error("the rows were not read");
        }
    }
    job::Session session;
};

void BM_SessionPasteReplacing3001Rows(benchmark::State& state) {
    ReadSession read;
    const std::string rows = bench::pointRows(kPoints);
    for (auto _ : state) {
        benchmark::DoNotOptimize(read.session.edits().paste(6, 1, rows, true));
    }
}
BENCHMARK(BM_SessionPasteReplacing3001Rows)->Unit(benchmark::kMillisecond);

void BM_SessionRead3001Points(benchmark::State& state) {
    ReadSession read;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read.session.read());
    }
}
BENCHMARK(BM_SessionRead3001Points)->Unit(benchmark::kMillisecond);

void BM_SessionPlan3001Points(benchmark::State& state) {
    ReadSession read;
    for (auto _ : state) {
        read.session.setSettings(pageSettings());
        benchmark::DoNotOptimize(read.session.preview());
    }
}
BENCHMARK(BM_SessionPlan3001Points)->Unit(benchmark::kMillisecond);

void BM_SessionWriteIntoMemory3001Points(benchmark::State& state) {
    ReadSession read;
    for (auto _ : state) {
        read.session.setSettings(pageSettings());
        const job::Outcome outcome = read.session.writeToMemory("out");
        if (!outcome.ok) {
            state.SkipWithError(outcome.message.text.c_str());
            break;
        }
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_SessionWriteIntoMemory3001Points)->Unit(benchmark::kMillisecond);

} // namespace

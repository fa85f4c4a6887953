// The core's steps for the largest worksheet a surveyor can read: 3001 points.
#include "pointsfile.h"

#include "dxf/dxfwriter.h"
#include "job/job.h"
#include "job/outputformat.h"
#include "plan/labelencoding.h"
#include "plan/plan.h"
#include "scripts/scriptset.h"
#include "transaction/fileoperations.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using namespace karumenio;

namespace {

constexpr int kPoints = 3001;

// A job with 3001 points pasted, read, and an edition chosen.
std::unique_ptr<job::Job> readJob() {
    auto job = std::make_unique<job::Job>();
    job->paste(bench::pointRows(kPoints));
    job->read();
    job::Settings settings;
    settings.edition = "2000";
    settings.angle = plan::RotationAngle("130.1001");
    job->setSettings(std::move(settings));
    return job;
}

// Paste into a fresh template and recalculate: what the worksheet does on Ctrl+V.
void BM_PasteAndRecalculate3001Rows(benchmark::State& state) {
    const std::string rows = bench::pointRows(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        auto job = std::make_unique<job::Job>();
        state.ResumeTiming();
        auto record = job->paste(rows);
        benchmark::DoNotOptimize(record);
        state.PauseTiming();
        record = {};
        job.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteAndRecalculate3001Rows)->Unit(benchmark::kMillisecond);

void BM_Read3001Points(benchmark::State& state) {
    auto job = readJob();
    for (auto _ : state) {
        benchmark::DoNotOptimize(job->read());
    }
}
BENCHMARK(BM_Read3001Points)->Unit(benchmark::kMillisecond);

void BM_PlanAndDxfFor3001Points(benchmark::State& state) {
    auto job = readJob();
    for (auto _ : state) {
        const plan::Plan plan = job->plan();
        auto bytes = dxf::writeDxf(plan);
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_PlanAndDxfFor3001Points)->Unit(benchmark::kMillisecond);

void BM_GenerateScriptsFor3001Points(benchmark::State& state) {
    auto job = readJob();
    for (auto _ : state) {
        auto set = scripts::writeScripts(job->plan());
        benchmark::DoNotOptimize(set);
    }
}
BENCHMARK(BM_GenerateScriptsFor3001Points)->Unit(benchmark::kMillisecond);

// The labels in code page 932 as the text script and the preview's warnings convert them:
// the names joined in one text, then each name on its own.
void BM_EncodeLabels3001Points(benchmark::State& state) {
    auto job = readJob();
    const plan::Plan plan = job->plan();
    std::string labels;
    for (const plan::Label& label : plan.labels) {
        labels += label.text + "\n";
    }
    for (auto _ : state) {
        auto bytes = plan::toDrawingCodePage(labels);
        std::vector<std::string> warnings;
        plan::warnUnmappableLabels(plan, warnings);
        benchmark::DoNotOptimize(bytes);
        benchmark::DoNotOptimize(warnings);
    }
}
BENCHMARK(BM_EncodeLabels3001Points)->Unit(benchmark::kMicrosecond);

// The whole write run into a folder that already holds the four scripts: plan, scripts,
// temporary files, replacing the old ones; with the DXF too into a second folder (files:5),
// as --dxf elsewhere writes it. Each run waits for the disk (flush:1): every new file and the
// journal's marks before the renames, the folders after them; flush:0 is the same run without
// the waits, so that the difference is what a run pays to survive a power loss. On a disk, not
// on a folder in memory: the temporary folder of this system ($TMPDIR, else /tmp).
void BM_WriteRun3001Points(benchmark::State& state) {
    auto job = readJob();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("karumenio-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "drawings");
    job::WriteTargets targets = job::WriteTargets::scriptsInto(folder);
    if (state.range(0) == 5) {
        targets.files.push_back({job::findFormat("dxf"), folder / "drawings" / "plan.dxf"});
    }
    const auto operations = transaction::FileOperations::system(
        state.range(1) != 0 ? transaction::Flushing::ToDisk : transaction::Flushing::None);
    for (auto _ : state) {
        auto report = job->write(targets, operations);
        benchmark::DoNotOptimize(report);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteRun3001Points)
    ->ArgNames({"files", "flush"})
    ->ArgsProduct({{4, 5}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace

// The core's three steps for the largest worksheet a surveyor can read: 3001 points.
#include "pointsfile.h"

#include "points/inputtemplate.h"
#include "points/paste.h"
#include "points/pointtable.h"
#include "points/reader.h"
#include "scripts/writerun.h"

#include <benchmark/benchmark.h>

using namespace karumenio;

namespace {

constexpr int kPoints = 3001;

// Paste into a fresh template and recalculate: what the worksheet does on Ctrl+V.
void BM_PasteAndRecalculate3001Rows(benchmark::State& state) {
    const std::string rows = bench::pointRows(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        points::Workbook book = points::makeInputTemplate();
        points::Worksheet& sheet = book.worksheets("Sheet1");
        state.ResumeTiming();
        auto record = points::paste(sheet, points::kFirstDataRow, 1, rows);
        benchmark::DoNotOptimize(record);
        state.PauseTiming();
        record = {};
        book = points::Workbook();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteAndRecalculate3001Rows)->Unit(benchmark::kMillisecond);

void BM_Read3001Points(benchmark::State& state) {
    points::Workbook book = points::makeInputTemplate();
    points::paste(book.worksheets("Sheet1"), points::kFirstDataRow, 1, bench::pointRows(kPoints));
    points::PointTable table;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&points::readPoints(book, table));
    }
}
BENCHMARK(BM_Read3001Points)->Unit(benchmark::kMillisecond);

void BM_GenerateScriptsFor3001Points(benchmark::State& state) {
    points::Workbook book = points::makeInputTemplate();
    points::paste(book.worksheets("Sheet1"), points::kFirstDataRow, 1, bench::pointRows(kPoints));
    points::PointTable table;
    const points::Worksheet& dataSheet = points::readPoints(book, table);
    scripts::WriteSettings settings;
    settings.versionCode = "2000";
    settings.angleText = "130.1001";
    scripts::WriteState writeState;
    for (auto _ : state) {
        auto set = scripts::generateScripts(settings, table, &dataSheet, writeState);
        benchmark::DoNotOptimize(set);
    }
}
BENCHMARK(BM_GenerateScriptsFor3001Points)->Unit(benchmark::kMillisecond);

} // namespace

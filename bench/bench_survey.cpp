// Opening survey files: a SIMA file that fills the whole worksheet, read into it.
#include "job/job.h"
#include "spreadsheet/codepage.h"
#include "survey/pointsfile.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace karumenio;

namespace {

constexpr int kParcels = 300;
constexpr int kVertices = 9;

// Parcels of nine vertices each, closed on their first: 300 parcels give 3000 rows, and one
// point of no parcel the 3001st, the most the worksheet holds. Names carry half-width
// katakana, so the file is code page 932 as surveying software writes it.
std::string fullSheetSima() {
    std::string text = "G00,01,ﾍﾞﾝﾁ,\r\nZ00,座標ﾃﾞｰﾀ,\r\nA00,\r\n";
    int number = 0;
    for (int parcel = 0; parcel < kParcels; ++parcel) {
        for (int vertex = 0; vertex < kVertices; ++vertex) {
            ++number;
            text += "A01," + std::to_string(number) + ",ｺ" + std::to_string(number) + "," +
                    std::to_string(-23000 - parcel * 10 - vertex) + ".125," +
                    std::to_string(-32000 + vertex * 3) + ".250,0.000,\r\n";
        }
    }
    text += "A01," + std::to_string(number + 1) + ",BM1,-23000.000,-32000.000,,\r\nA99,\r\n";
    for (int parcel = 0; parcel < kParcels; ++parcel) {
        text +=
            "D00," + std::to_string(parcel + 1) + ",区画" + std::to_string(parcel + 1) + ",1,\r\n";
        for (int vertex = 0; vertex < kVertices; ++vertex) {
            const int point = parcel * kVertices + vertex + 1;
            text += "B01," + std::to_string(point) + ",ｺ" + std::to_string(point) + ",\r\n";
        }
        text += "D99,\r\n";
    }
    return spreadsheet::toCp932(text);
}

// From the file's bytes to the worksheet recalculated: what opening the file costs.
void BM_OpenSimaIntoWorksheet3001Rows(benchmark::State& state) {
    const std::string bytes = fullSheetSima();
    for (auto _ : state) {
        state.PauseTiming();
        auto job = std::make_unique<job::Job>();
        state.ResumeTiming();
        auto opened = job->openPointsFile(bytes, "bench.sim");
        benchmark::DoNotOptimize(opened);
        state.PauseTiming();
        if (opened.rowCount != kParcels * (kVertices + 1) + 1) {
            state.SkipWithError("unexpected row count");
        }
        opened = {};
        job.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSimaIntoWorksheet3001Rows)->Unit(benchmark::kMillisecond);

// The reading alone, without the worksheet.
void BM_ReadSima3001Rows(benchmark::State& state) {
    const std::string bytes = fullSheetSima();
    for (auto _ : state) {
        auto rows = survey::readPointsFile(bytes, "bench.sim", {});
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ReadSima3001Rows)->Unit(benchmark::kMillisecond);

} // namespace

// The plan's own sine, cosine and arc tangent: the plan of a 3001-point sheet that uses them,
// and each function against the C library's on the arguments the plan gives it.
#include "pointsfile.h"

#include "job/job.h"
#include "numeric/precisetrig.h"
#include "numeric/trig.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace karumenio;

namespace {

// Angles, frame and labels of 3001 points: the whole computation the functions are part of.
void BM_ComputePlan3001Points(benchmark::State& state) {
    auto job = std::make_unique<job::Job>();
    job->paste(bench::pointRows(3001));
    job->read();
    job::Settings settings;
    settings.angle = plan::RotationAngle("130.1001");
    job->setSettings(std::move(settings));
    for (auto _ : state) {
        benchmark::DoNotOptimize(job->plan());
    }
}
BENCHMARK(BM_ComputePlan3001Points)->Unit(benchmark::kMicrosecond);

constexpr double kDegreesPerRadian = 57.29577951308232;

// Every 10 minutes of a turn in radians, as the rotation and the label direction are made.
std::vector<double> planRadians() {
    std::vector<double> radians;
    for (int minutes = 0; minutes < 360 * 60; minutes += 10) {
        radians.push_back(minutes / 60.0 / kDegreesPerRadian);
    }
    return radians;
}

// Slopes of diagonals from a thousandth to a thousand.
std::vector<double> slopes() {
    std::vector<double> out;
    for (int i = 0; i < 2160; ++i) {
        out.push_back(std::pow(10.0, -3.0 + 6.0 * i / 2160));
    }
    return out;
}

// Arguments far beyond a turn, reduced with the table of 2/π.
std::vector<double> hugeArguments() {
    std::vector<double> out;
    for (int i = 0; i < 2160; ++i) {
        out.push_back(std::ldexp(1.0 + i / 2160.0, 30 + i % 900));
    }
    return out;
}

template <double (*F)(double)>
void callEach(benchmark::State& state, const std::vector<double>& arguments) {
    for (auto _ : state) {
        for (const double x : arguments) {
            benchmark::DoNotOptimize(F(x));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(arguments.size()));
}

double librarySin(double x) {
    return std::sin(x);
}
double libraryCos(double x) {
    return std::cos(x);
}
double libraryAtan(double x) {
    return std::atan(x);
}

void BM_PlanSin(benchmark::State& state) {
    callEach<numeric::sin>(state, planRadians());
}
void BM_LibrarySin(benchmark::State& state) {
    callEach<librarySin>(state, planRadians());
}
void BM_PlanCos(benchmark::State& state) {
    callEach<numeric::cos>(state, planRadians());
}
void BM_LibraryCos(benchmark::State& state) {
    callEach<libraryCos>(state, planRadians());
}
void BM_PlanAtan(benchmark::State& state) {
    callEach<numeric::atan>(state, slopes());
}
void BM_LibraryAtan(benchmark::State& state) {
    callEach<libraryAtan>(state, slopes());
}
void BM_PlanSinHuge(benchmark::State& state) {
    callEach<numeric::sin>(state, hugeArguments());
}
void BM_LibrarySinHuge(benchmark::State& state) {
    callEach<librarySin>(state, hugeArguments());
}
BENCHMARK(BM_PlanSin);
BENCHMARK(BM_LibrarySin);
BENCHMARK(BM_PlanCos);
BENCHMARK(BM_LibraryCos);
BENCHMARK(BM_PlanAtan);
BENCHMARK(BM_LibraryAtan);
BENCHMARK(BM_PlanSinHuge);
BENCHMARK(BM_LibrarySinHuge);

// The multiple-precision evaluation that decides the few arguments the double-double one
// cannot: what such an argument costs.
double preciseSin(double x) {
    return numeric::preciseSin(x);
}
double preciseAtan(double x) {
    return numeric::preciseAtan(x);
}
void BM_PreciseSin(benchmark::State& state) {
    callEach<preciseSin>(state, planRadians());
}
void BM_PreciseAtan(benchmark::State& state) {
    callEach<preciseAtan>(state, slopes());
}
BENCHMARK(BM_PreciseSin);
BENCHMARK(BM_PreciseAtan);

} // namespace

// The area table and the side lengths of 300 parcels of 10 points each, as surveyed plane
// coordinates with millimetres; target: under 5 ms for both. The survey map's layout of a
// block of 15 lots of 40 corners each; target: under 50 ms.
#include "parcel/areacsv.h"
#include "parcel/landcategory.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/sidelength.h"
#include "parcel/surveymap.h"
#include "plan/plan.h"

#include "../tests/layout/generatedparcels.h"
#include "job/job.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace karumenio;

namespace {

constexpr int kParcels = 300;
constexpr int kCorners = 10;

// Each parcel a ring of ten corners about its own centre, closed on its first point, its
// first row marked with its name: 3300 rows, more than a worksheet holds, so the plan is
// made directly.
plan::Plan parcelsPlan() {
    std::mt19937 random(300);
    std::uniform_real_distribution<double> wobble(-0.8, 0.8);
    plan::Plan plan;
    plan.scaleFactor = 0.25;
    for (int p = 0; p < kParcels; ++p) {
        const double cx = -23795.961 + 40.0 * (p % 20);
        const double cy = -32832.252 + 40.0 * (p / 20);
        for (int k = 0; k <= kCorners; ++k) {
            const int corner = k % kCorners;
            const double angle = 2 * 3.141592653589793 * corner / kCorners;
            plan::PlanPoint point;
            point.x = std::round((cx + (15 + wobble(random)) * std::cos(angle)) * 1000) / 1000;
            point.y = std::round((cy + (15 + wobble(random)) * std::sin(angle)) * 1000) / 1000;
            if (k == kCorners) {
                point.x = plan.points[plan.points.size() - kCorners].x;
                point.y = plan.points[plan.points.size() - kCorners].y;
            }
            point.breakBefore = k == 0 && p > 0;
            point.breakMark = k == 0 ? std::to_string(100 + p) + "-1" : "";
            point.label = "P" + std::to_string(p * kCorners + corner + 1);
            plan.points.push_back(point);
        }
    }
    return plan;
}

// The area table as the CSV writes it, and every side's length as the drawing shows it.
void tableAndLengths(const plan::Plan& plan, const std::vector<parcel::Parcel>& parcels) {
    const std::vector<parcel::ParcelArea> areas =
        parcel::computeAreas(parcels, parcel::kDefaultLandCategory);
    std::size_t sides = 0;
    for (const parcel::Parcel& p : parcels) {
        for (const parcel::Side& side : parcel::sidesOf(p)) {
            sides += side.lengthText().size();
        }
    }
    benchmark::DoNotOptimize(sides);
    benchmark::DoNotOptimize(parcel::writeAreaCsv(plan, areas));
}

void BM_AreaTableAndSideLengths300Parcels(benchmark::State& state) {
    const plan::Plan plan = parcelsPlan();
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    if (parcels.size() != kParcels) {
        state.SkipWithError("the plan does not hold 300 parcels");
    }
    for (auto _ : state) {
        tableAndLengths(plan, parcels);
    }
}
BENCHMARK(BM_AreaTableAndSideLengths300Parcels)->Unit(benchmark::kMillisecond);

// The same from the plan's rows: the parcels found and their coordinates rounded first.
void BM_ParcelsAreaTableAndSideLengthsFromThePlan(benchmark::State& state) {
    const plan::Plan plan = parcelsPlan();
    for (auto _ : state) {
        tableAndLengths(plan, parcel::findParcels(plan).parcels);
    }
}
BENCHMARK(BM_ParcelsAreaTableAndSideLengthsFromThePlan)->Unit(benchmark::kMillisecond);

// The whole survey map of the 300 parcels laid out on B4 at 1:250: a sheet for each few of
// them, every text placed, the tables continued.
void BM_SurveyMap300Parcels(benchmark::State& state) {
    plan::Plan plan = parcelsPlan();
    plan.paper = &plan::paperByToken("B4L");
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parcel::layOutSurveyMap(plan, parcels, {}));
    }
}
BENCHMARK(BM_SurveyMap300Parcels)->Unit(benchmark::kMillisecond);

// Fifteen parcels of 40 corners laid out: the names, lengths, tables and title blocks of every
// sheet. As a block of lots that share their sides, on A1 at 1:300, where they fit together
// (and a few texts find no free place, so that every way of placing them is tried); and as
// parcels apart from each other on B4 at 1:250, a sheet for each.
void surveyMapLayout(benchmark::State& state, layout::test::Survey survey, std::string_view paper,
                     std::string_view scale) {
    job::Job job(job::Job::History::None);
    job.paste(layout::test::surveyRows(survey));
    job.read();
    job::Settings settings = job.settings();
    settings.paper = plan::findPaper(paper);
    settings.scale = plan::findScale(scale);
    job.setSettings(settings);
    const plan::Plan plan = job.plan();
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    layout::SheetLayout map;
    for (auto _ : state) {
        map = parcel::layOutSurveyMap(plan, parcels, {});
        benchmark::DoNotOptimize(map);
    }
    std::size_t texts = 0;
    for (const layout::Sheet& sheet : map.sheets) {
        texts += sheet.texts.size();
    }
    state.counters["texts"] = static_cast<double>(texts);
    state.counters["sheets"] = static_cast<double>(map.sheets.size());
    state.counters["overlapping"] = map.fit.overlappingTexts;
}

void BM_SurveyMapLayout15Lots40CornersA1(benchmark::State& state) {
    surveyMapLayout(state, {layout::test::Shape::Block, 40, 15, 3.0}, "A1", "300");
}
BENCHMARK(BM_SurveyMapLayout15Lots40CornersA1)->Unit(benchmark::kMillisecond);

void BM_SurveyMapLayout15Parcels40CornersB4(benchmark::State& state) {
    surveyMapLayout(state, {layout::test::Shape::Convex, 40, 15, 3.0}, "B4L", "250");
}
BENCHMARK(BM_SurveyMapLayout15Parcels40CornersB4)->Unit(benchmark::kMillisecond);

} // namespace

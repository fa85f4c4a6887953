// The subdivision check of a parent of 200 corners split into 20 lots along broken lines;
// target: under 20 ms.
#include "parcel/landcategory.h"
#include "parcel/parcel.h"
#include "parcel/parcelarea.h"
#include "parcel/subdivision.h"
#include "plan/plan.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace karumenio;

namespace {

constexpr int kLots = 20;
constexpr int kBends = 8;
// Corners of each zigzag end of the parent: with the 2 × 19 ends of the cuts and its 4
// corners, the parent has 200.
constexpr int kZigzag = 79;
constexpr double kWidth = 90.0;
constexpr double kStrip = 12.0;
constexpr double kOriginX = -23795.961;
constexpr double kOriginY = -32832.252;

struct Corner {
    double x;
    double y;
};

void addSection(plan::Plan& plan, const std::string& name, const std::vector<Corner>& corners) {
    for (std::size_t i = 0; i <= corners.size(); ++i) {
        const Corner& c = corners[i % corners.size()];
        plan::PlanPoint point;
        point.x = kOriginX + c.x;
        point.y = kOriginY + c.y;
        point.breakBefore = i == 0 && !plan.points.empty();
        point.breakMark = i == 0 ? name : "";
        point.name = "P" + std::to_string(plan.points.size() + 1);
        plan.points.push_back(point);
    }
}

// The corners of a cut (or of a zigzag end) from the side at X = 0 to the side at kWidth.
std::vector<Corner> line(int index, int bends, double depth) {
    std::vector<Corner> corners;
    const double y = index * kStrip;
    for (int k = 0; k <= bends + 1; ++k) {
        const double wobble = (k == 0 || k == bends + 1) ? 0.0 : (k % 2 == 0 ? depth : -depth);
        corners.push_back({kWidth * k / (bends + 1), y + wobble});
    }
    return corners;
}

std::vector<Corner> reversed(std::vector<Corner> corners) {
    return {corners.rbegin(), corners.rend()};
}

plan::Plan subdividedPlan() {
    std::vector<std::vector<Corner>> cuts;
    cuts.push_back(line(0, kZigzag, 0.5));
    for (int i = 1; i < kLots; ++i) {
        cuts.push_back(line(i, kBends, 1.25));
    }
    cuts.push_back(line(kLots, kZigzag, 0.5));
    plan::Plan plan;
    std::vector<Corner> parent = cuts.front();
    for (int i = 1; i <= kLots; ++i) {
        parent.push_back(cuts[i].back());
    }
    const std::vector<Corner> top = reversed(cuts.back());
    parent.insert(parent.end(), top.begin() + 1, top.end());
    for (int i = kLots - 1; i >= 1; --i) {
        parent.push_back(cuts[i].front());
    }
    addSection(plan, "100", parent);
    for (int i = 0; i < kLots; ++i) {
        std::vector<Corner> lot = cuts[i];
        const std::vector<Corner> upper = reversed(cuts[i + 1]);
        lot.insert(lot.end(), upper.begin(), upper.end());
        addSection(plan, "100-" + std::to_string(i + 1), lot);
    }
    return plan;
}

void BM_SubdivisionCheck200CornersInto20Lots(benchmark::State& state) {
    const plan::Plan plan = subdividedPlan();
    const std::vector<parcel::Parcel> parcels = parcel::findParcels(plan).parcels;
    parcel::SubdivisionSettings settings;
    settings.parent = "100";
    const parcel::SubdivisionCheck sample = parcel::checkSubdivision(
        plan, parcels, parcel::computeAreas(parcels, parcel::kLandCategories[0]), settings);
    if (parcels.front().vertices.size() != 200 || sample.lots.size() != kLots ||
        !sample.warnings.empty()) {
        state.SkipWithError("the plan is not a parent of 200 corners split cleanly into 20 lots");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(parcel::checkSubdivision(
            plan, parcels, parcel::computeAreas(parcels, parcel::kLandCategories[0]), settings));
    }
}
BENCHMARK(BM_SubdivisionCheck200CornersInto20Lots)->Unit(benchmark::kMillisecond);

} // namespace

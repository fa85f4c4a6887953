// Plane coordinates to latitude and longitude: 3001 points of a plan in system IX projected and
// written as GeoJSON (each a Point, and the sections they form as lines), and the projection
// alone.
#include "geodesy/geojsonwriter.h"
#include "geodesy/transversemercator.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace karumenio;
using namespace karumenio::geodesy;

namespace {

constexpr int kPoints = 3001;

// A walk of 3001 points over a few hundred metres near the worked example, a section every
// 50 points as the points file of the other benchmarks has them.
GeoJsonContent planContent() {
    GeoJsonContent content;
    for (int i = 0; i < kPoints; ++i) {
        const PlanePoint p{-23795.960 + (i % 97) * 3.127, -32832.251 + (i / 97) * 4.513};
        content.points.push_back({"No." + std::to_string(i + 1), p});
        if (i % 50 == 0) {
            content.lines.push_back({std::to_string(i / 50 + 1), {}});
        }
        content.lines.back().points.push_back(p);
    }
    return content;
}

void BM_GeoJson3001Points(benchmark::State& state) {
    const GeoJsonContent content = planContent();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = writeGeoJson(content, *planeSystem(9));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_GeoJson3001Points)->Unit(benchmark::kMicrosecond);

void BM_PlaneToGeographic3001Points(benchmark::State& state) {
    const GeoJsonContent content = planContent();
    const TransverseMercator projection(*planeSystem(9));
    for (auto _ : state) {
        for (const GeoJsonPoint& p : content.points) {
            benchmark::DoNotOptimize(projection.toGeographic(p.position));
        }
    }
}
BENCHMARK(BM_PlaneToGeographic3001Points)->Unit(benchmark::kMicrosecond);

void BM_GeographicToPlane3001Points(benchmark::State& state) {
    const GeoJsonContent content = planContent();
    const TransverseMercator projection(*planeSystem(9));
    std::vector<GeographicPoint> geographic;
    for (const GeoJsonPoint& p : content.points) {
        geographic.push_back(*projection.toGeographic(p.position));
    }
    for (auto _ : state) {
        for (const GeographicPoint g : geographic) {
            benchmark::DoNotOptimize(projection.toPlane(g));
        }
    }
}
BENCHMARK(BM_GeographicToPlane3001Points)->Unit(benchmark::kMicrosecond);

} // namespace

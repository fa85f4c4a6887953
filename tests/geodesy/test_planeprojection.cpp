// The projection of the plane rectangular coordinate systems against the committed table of
// PROJ's values, which every platform checks, and against itself.
#include "projtable.h"

#include "geodesy/planesystem.h"
#include "geodesy/transversemercator.h"
#include "numeric/conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

using namespace karumenio;
using namespace karumenio::geodesy;

namespace {

std::filesystem::path dataPath(const char* name) {
    return std::filesystem::path(KARUMENIO_TEST_DATA) / name;
}

std::vector<test::ProjRow> committedRows() {
    std::ifstream in(dataPath("plane_systems_proj.txt"));
    return test::readProjRows(in);
}

TEST(PlaneProjection, AgreesWithProjOnTheCommittedTable) {
    const auto rows = committedRows();
    ASSERT_GE(rows.size(), 300u) << dataPath("plane_systems_proj.txt");
    std::printf("%s\n", test::checkAgainstProj(rows).c_str());
}

// The bits of each result, so that a platform whose arithmetic differs shows here even where
// the difference is far below the tolerance against PROJ.
std::string resultBits(const std::vector<test::ProjRow>& rows) {
    std::ostringstream out;
    out << "# The bits of the latitude, longitude, X and Y that the program computes for the\n"
           "# rows of plane_systems_proj.txt (to and from the plane), the same on every "
           "platform.\n";
    for (const test::ProjRow& row : rows) {
        const TransverseMercator projection(*planeSystem(row.number));
        const auto g = projection.toGeographic(row.plane);
        const auto p = projection.toPlane(row.geographic);
        char line[120];
        std::snprintf(
            line, sizeof line, "%016llx %016llx %016llx %016llx\n",
            static_cast<unsigned long long>(numeric::bitCast<std::uint64_t>(g->latitude)),
            static_cast<unsigned long long>(numeric::bitCast<std::uint64_t>(g->longitude)),
            static_cast<unsigned long long>(numeric::bitCast<std::uint64_t>(p->x)),
            static_cast<unsigned long long>(numeric::bitCast<std::uint64_t>(p->y)));
        out << line;
    }
    return out.str();
}

TEST(PlaneProjection, GivesTheSameBitsAsTheGoldenFile) {
    const auto rows = committedRows();
    ASSERT_FALSE(rows.empty());
    const std::string bits = resultBits(rows);
    const auto golden = dataPath("golden/plane_projection_bits.txt");
    if (std::getenv("KARUMENIO_REGENERATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << bits;
        GTEST_SKIP() << "wrote " << golden;
    }
    std::ifstream in(golden, std::ios::binary);
    std::ostringstream expected;
    expected << in.rdbuf();
    std::istringstream got(bits), want(expected.str());
    std::string gotLine, wantLine;
    int line = 0;
    while (std::getline(want, wantLine)) {
        ++line;
        ASSERT_TRUE(std::getline(got, gotLine)) << "missing line " << line;
        ASSERT_EQ(gotLine, wantLine) << "line " << line << " of " << golden;
    }
    EXPECT_FALSE(std::getline(got, gotLine)) << "more lines than " << golden;
    EXPECT_GT(line, 300);
}

TEST(PlaneProjection, ReturnsToThePlaneWithinAMicrometre) {
    for (const PlaneSystem& system : planeSystems()) {
        SCOPED_TRACE(system.roman);
        const TransverseMercator projection(system);
        double worst = 0.0;
        for (double x = -800000.0; x <= 800000.0; x += 40000.0) {
            for (double y = -300000.0; y <= 300000.0; y += 20000.0) {
                const auto g = projection.toGeographic({x, y});
                ASSERT_TRUE(g.has_value());
                const auto back = projection.toPlane(*g);
                ASSERT_TRUE(back.has_value());
                worst = std::max({worst, std::fabs(back->x - x), std::fabs(back->y - y)});
            }
        }
        EXPECT_LT(worst, 1e-6);
    }
}

TEST(PlaneProjection, NorthAndEastOfTheOriginAreNorthAndEastOnTheGlobe) {
    // Axes taken the wrong way round are the slip this projection exists to catch, so the
    // directions are checked apart from the tables.
    for (const PlaneSystem& system : planeSystems()) {
        SCOPED_TRACE(system.roman);
        const TransverseMercator projection(system);
        const auto north = projection.toGeographic({1000.0, 0.0});
        const auto east = projection.toGeographic({0.0, 1000.0});
        ASSERT_TRUE(north && east);
        // A kilometre is about 0.009° of latitude, and 0.009° / cos(latitude) of longitude.
        const double cosine = std::cos(system.originLatitude() * 3.141592653589793 / 180.0);
        EXPECT_NEAR(north->latitude - system.originLatitude(), 0.009, 0.0001);
        EXPECT_NEAR(north->longitude, system.originLongitude(), 1e-12);
        EXPECT_NEAR((east->longitude - system.originLongitude()) * cosine, 0.009, 0.0001);
        EXPECT_NEAR(east->latitude, system.originLatitude(), 1e-5);
    }
}

TEST(PlaneProjection, RefusesPointsWhereNoSystemIsUsed) {
    const TransverseMercator projection(*planeSystem(9));
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PlanePoint outside[] = {
        {5000001.0, 0.0}, {-5000001.0, 0.0}, {0.0, 1000001.0}, {0.0, -1000001.0},
        {kInf, 0.0},      {0.0, -kInf},      {nan, 0.0},       {0.0, nan},
    };
    for (const PlanePoint p : outside) {
        EXPECT_FALSE(projection.toGeographic(p).has_value()) << p.x << ", " << p.y;
    }
    const GeographicPoint away[] = {
        {89.5, 139.8}, {-90.0, 139.8}, {36.0, 160.0}, {36.0, 119.0}, {nan, 139.8}, {36.0, kInf},
    };
    for (const GeographicPoint g : away) {
        EXPECT_FALSE(projection.toPlane(g).has_value()) << g.latitude << ", " << g.longitude;
    }
    // The edges of the domain still give finite values.
    for (const PlanePoint p :
         {PlanePoint{5000000.0, 1000000.0}, PlanePoint{-5000000.0, -1000000.0}}) {
        const auto g = projection.toGeographic(p);
        ASSERT_TRUE(g.has_value());
        EXPECT_TRUE(std::isfinite(g->latitude) && std::isfinite(g->longitude));
    }
}

TEST(PlaneSystems, OnlyTheTablesNumbersNameASystem) {
    const int count = static_cast<int>(planeSystems().size());
    for (int number = 1; number <= count; ++number) {
        ASSERT_NE(planeSystem(number), nullptr);
        EXPECT_EQ(planeSystem(number)->number, number);
    }
    for (const int number : {0, -1, count + 1, 100}) {
        EXPECT_EQ(planeSystem(number), nullptr) << number;
    }
    EXPECT_EQ(systemLabel(*planeSystem(9)), "第IX系");
    EXPECT_EQ(systemLabel(*planeSystem(14)), "第XIV系");
}

} // namespace

// The web map's address for a plan: its centre, and a zoom at which the plan fills the view.
#include "geodesy/maplink.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace karumenio::geodesy;

namespace {

// Metres a pixel covers at that zoom and latitude on the web map.
double metresPerPixel(int zoom, double latitude) {
    constexpr double kPi = 3.141592653589793;
    return 2.0 * kPi * 6378137.0 / 256.0 * std::cos(latitude * kPi / 180.0) / std::pow(2.0, zoom);
}

bool fits(double width, double height, int zoom, double latitude) {
    return width <= kMapViewWidth * metresPerPixel(zoom, latitude) &&
           height <= kMapViewHeight * metresPerPixel(zoom, latitude);
}

TEST(MapLink, ZoomIsTheClosestThatStillShowsTheWholeExtent) {
    struct Case {
        double latitude;
        double width;
        double height;
    };
    const Case cases[] = {
        {35.7, 30.0, 20.0},     {35.7, 200.0, 150.0},  {43.0, 200.0, 150.0},
        {26.2, 1000.0, 100.0},  {35.7, 100.0, 1000.0}, {35.7, 4000.0, 3000.0},
        {41.8, 25000.0, 100.0}, {24.3, 0.0, 0.0},      {35.7, 120000.0, 80000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " m at " << c.latitude);
        const int zoom = mapZoom(c.latitude, c.width, c.height);
        EXPECT_GE(zoom, kMinimumMapZoom);
        EXPECT_LE(zoom, kMaximumMapZoom);
        EXPECT_TRUE(fits(c.width, c.height, zoom, c.latitude) || zoom == kMinimumMapZoom);
        EXPECT_TRUE(zoom == kMaximumMapZoom || !fits(c.width, c.height, zoom + 1, c.latitude));
    }
    // Beyond what a sheet of survey can hold the whole country is shown.
    EXPECT_EQ(mapZoom(35.7, 3.0e6, 3.0e6), kMinimumMapZoom);
}

TEST(MapLink, AddressIsCentredOnTheCentroidInSixDecimals) {
    EXPECT_EQ(gsiMapAddress({35.681236, 139.767125}, 17),
              "https://maps.gsi.go.jp/#17/35.681236/139.767125/");
    // A plan of 300 × 200 m around Tokyo station, in system IX.
    PlaneExtent extent;
    extent.minX = -35463.238;
    extent.maxX = -35263.238;
    extent.minY = -6142.920;
    extent.maxY = -5842.920;
    extent.centroid = {-35363.238, -5992.920};
    const auto address = gsiMapAddress(*planeSystem(9), extent);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(*address, "https://maps.gsi.go.jp/#18/35.681236/139.767125/");
    // A centroid off the middle of its box needs room for the farther side.
    extent.centroid = {-35363.238, -6132.920};
    const auto offCentre = gsiMapAddress(*planeSystem(9), extent);
    ASSERT_TRUE(offCentre.has_value());
    EXPECT_NE(offCentre->find("#17/"), std::string::npos) << *offCentre;
    extent.centroid = {-35363.238, 3.0e6};
    EXPECT_FALSE(gsiMapAddress(*planeSystem(9), extent).has_value());
}

TEST(PlaneExtent, BoxAndMeanOfThePoints) {
    const PlanePoint points[] = {
        {-23795.960, -32832.251}, {-23790.120, -32810.004}, {-23770.500, -32815.750}};
    const PlaneExtent e = PlaneExtent::of(points);
    EXPECT_EQ(e.minX, -23795.960);
    EXPECT_EQ(e.maxX, -23770.500);
    EXPECT_EQ(e.minY, -32832.251);
    EXPECT_EQ(e.maxY, -32810.004);
    EXPECT_NEAR(e.centroid.x, (-23795.960 - 23790.120 - 23770.500) / 3, 1e-9);
    EXPECT_NEAR(e.centroid.y, (-32832.251 - 32810.004 - 32815.750) / 3, 1e-9);
}

} // namespace

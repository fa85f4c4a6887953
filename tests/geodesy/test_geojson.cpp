// The GeoJSON of a plan: the golden file of an example, read back with a strict JSON reader for
// its structure, ring directions, coordinates and names, and the inputs it refuses.
#include "jsonvalue.h"

#include "geodesy/geojsonwriter.h"
#include "geodesy/transversemercator.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>

using namespace karumenio;
using namespace karumenio::geodesy;
using karumenio::geodesy::test::JsonReader;
using karumenio::geodesy::test::JsonValue;

namespace {

const PlaneSystem& systemIX() {
    return *planeSystem(9);
}

// Two parcels side by side, the second given clockwise and closed on its first vertex, a road
// edge as an open section, and the points, one with a name that needs escaping.
GeoJsonContent example() {
    const PlanePoint a{-23795.960, -32832.251};
    const PlanePoint b{-23790.120, -32810.004};
    const PlanePoint c{-23770.500, -32815.750};
    const PlanePoint d{-23776.338, -32838.002};
    const PlanePoint e{-23764.662, -32793.503};
    const PlanePoint f{-23784.282, -32787.757};
    GeoJsonContent content;
    content.parcels.push_back({"123-1", {a, b, c, d}, "470.122931", "470.12"});
    content.parcels.push_back({"123-2", {b, c, e, f, b}, "470.031288", "470.03"});
    content.lines.push_back({"道路境界", {{-23800.000, -32840.000}, {-23795.000, -32780.000}}});
    const std::pair<const char*, PlanePoint> points[] = {
        {"No.1", a}, {"No.2", b}, {"No.3", c}, {"No.4", d}, {"No.5", e}, {"杭\"6\"", f},
    };
    for (const auto& [name, p] : points) {
        content.points.push_back({name, p});
    }
    return content;
}

std::filesystem::path goldenPath() {
    return std::filesystem::path(KARUMENIO_TEST_DATA) / "golden" / "example.geojson";
}

JsonValue parse(const std::string& text) {
    JsonReader reader(text);
    const auto value = reader.read();
    EXPECT_TRUE(value.has_value()) << reader.error();
    return value.value_or(JsonValue{});
}

const JsonValue& at(const JsonValue& object, const char* name) {
    static const JsonValue kMissing;
    const JsonValue* value = object.member(name);
    EXPECT_NE(value, nullptr) << name;
    return value != nullptr ? *value : kMissing;
}

// Twice the signed area of a ring of [longitude, latitude] positions: positive when it runs
// counter-clockwise.
double twiceSignedArea(const JsonValue& ring) {
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < ring.items.size(); ++i) {
        const auto& p = ring.items[i].items;
        const auto& q = ring.items[i + 1].items;
        sum += p[0].number * q[1].number - q[0].number * p[1].number;
    }
    return sum;
}

std::size_t decimalsOf(const std::string& number) {
    const auto point = number.find('.');
    return point == std::string::npos ? 0 : number.size() - point - 1;
}

TEST(GeoJson, ExampleMatchesTheGoldenFile) {
    const std::string written = writeGeoJson(example(), systemIX());
    if (std::getenv("KARUMENIO_REGENERATE_GOLDEN") != nullptr) {
        std::ofstream(goldenPath(), std::ios::binary) << written;
        GTEST_SKIP() << "wrote " << goldenPath();
    }
    std::ifstream in(goldenPath(), std::ios::binary);
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(written, golden.str()) << goldenPath();
}

TEST(GeoJson, ExampleIsAFeatureCollectionOfTheKindsAndPropertiesGiven) {
    const GeoJsonContent content = example();
    const JsonValue root = parse(writeGeoJson(content, systemIX()));
    EXPECT_EQ(at(root, "type").text, "FeatureCollection");
    EXPECT_EQ(root.member("crs"), nullptr);
    const auto& features = at(root, "features").items;
    ASSERT_EQ(features.size(), 2u + 1u + 6u);

    const char* kinds[] = {"Polygon", "Polygon", "LineString", "Point", "Point",
                           "Point",   "Point",   "Point",      "Point"};
    for (std::size_t i = 0; i < features.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(at(features[i], "type").text, "Feature");
        EXPECT_EQ(at(at(features[i], "geometry"), "type").text, kinds[i]);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        const JsonValue& properties = at(features[i], "properties");
        EXPECT_EQ(at(properties, "name").text, content.parcels[i].name);
        EXPECT_EQ(at(properties, "area_m2").kind, JsonValue::Kind::Number);
        EXPECT_EQ(at(properties, "area_m2").text, content.parcels[i].areaSquareMetres);
        EXPECT_EQ(at(properties, "chiseki").kind, JsonValue::Kind::String);
        EXPECT_EQ(at(properties, "chiseki").text, content.parcels[i].chiseki);
    }
    EXPECT_EQ(at(at(features[2], "properties"), "name").text, "道路境界");
    for (std::size_t i = 0; i < content.points.size(); ++i) {
        const JsonValue& properties = at(features[3 + i], "properties");
        const GeoJsonPoint& point = content.points[i];
        EXPECT_EQ(at(properties, "name").text, point.name);
        EXPECT_EQ(decimalsOf(at(properties, "x").text), 3u);
        EXPECT_EQ(decimalsOf(at(properties, "y").text), 3u);
        EXPECT_NEAR(at(properties, "x").number, point.position.x, 0.0005);
        EXPECT_NEAR(at(properties, "y").number, point.position.y, 0.0005);
    }
}

TEST(GeoJson, PositionsAreLongitudeThenLatitudeWithNineDecimals) {
    const GeoJsonContent content = example();
    const JsonValue root = parse(writeGeoJson(content, systemIX()));
    const TransverseMercator projection(systemIX());
    const auto& features = at(root, "features").items;
    for (std::size_t i = 0; i < content.points.size(); ++i) {
        const auto& position = at(at(features[3 + i], "geometry"), "coordinates").items;
        ASSERT_EQ(position.size(), 2u);
        const auto expected = projection.toGeographic(content.points[i].position);
        for (const JsonValue& number : position) {
            EXPECT_EQ(decimalsOf(number.text), 9u) << number.text;
        }
        EXPECT_NEAR(position[0].number, expected->longitude, 0.5e-9);
        EXPECT_NEAR(position[1].number, expected->latitude, 0.5e-9);
    }
}

TEST(GeoJson, ParcelRingsAreClosedAndCounterClockwiseWhicheverWayTheyWereGiven) {
    const PlanePoint square[] = {{0.0, 0.0}, {0.0, 10.0}, {10.0, 10.0}, {10.0, 0.0}};
    // With X north and Y east, this order runs north-east-south: clockwise on the map.
    const std::vector<PlanePoint> clockwise = {square[0], square[3], square[2], square[1]};
    const std::vector<PlanePoint> counterClockwise(std::begin(square), std::end(square));
    const PlanePoint origin{-35363.238, -5992.920};
    for (const auto& given : {clockwise, counterClockwise}) {
        GeoJsonContent content;
        std::vector<PlanePoint> vertices;
        for (const PlanePoint p : given) {
            vertices.push_back({origin.x + p.x, origin.y + p.y});
        }
        content.parcels.push_back({"1", vertices, "100.000000", "100.00"});
        const JsonValue root = parse(writeGeoJson(content, systemIX()));
        const auto& rings =
            at(at(at(root, "features").items.at(0), "geometry"), "coordinates").items;
        ASSERT_EQ(rings.size(), 1u);
        const JsonValue& ring = rings[0];
        ASSERT_EQ(ring.items.size(), 5u);
        EXPECT_EQ(ring.items.front().items[0].text, ring.items.back().items[0].text);
        EXPECT_EQ(ring.items.front().items[1].text, ring.items.back().items[1].text);
        EXPECT_GT(twiceSignedArea(ring), 0.0);
        // The ring starts where the parcel does.
        const auto first = TransverseMercator(systemIX()).toGeographic(vertices.front());
        EXPECT_NEAR(ring.items[0].items[0].number, first->longitude, 0.5e-9);
    }
    // The example's second parcel was given clockwise and closed.
    const JsonValue root = parse(writeGeoJson(example(), systemIX()));
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& ring =
            at(at(at(root, "features").items.at(i), "geometry"), "coordinates").items.at(0);
        EXPECT_EQ(ring.items.size(), example().parcels[0].vertices.size() + 1);
        EXPECT_GT(twiceSignedArea(ring), 0.0) << i;
    }
}

TEST(GeoJson, AnyNameStaysValidJsonAndReadsBack) {
    struct Case {
        const char* what;
        std::string name;
        std::string readBack;
    };
    const Case cases[] = {
        {"Japanese", "境界杭ｱｲｳ　１", "境界杭ｱｲｳ　１"},
        {"quotes and backslash", R"(A"B\C/D)", R"(A"B\C/D)"},
        {"control characters", std::string("a\tb\nc\rd\x01\x1f\x7f", 10),
         std::string("a\tb\nc\rd\x01\x1f\x7f", 10)},
        {"a NUL inside", std::string("x\0y", 3), std::string("x\0y", 3)},
        {"four-byte character", "\xF0\x9F\x93\x8D", "\xF0\x9F\x93\x8D"},
        {"code page 932 bytes", "\x8D\x59", "\xEF\xBF\xBDY"},
        {"cut sequence at the end", "ab\xE5\xA2", "ab\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate half", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong slash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeoJsonContent content;
        content.points.push_back({c.name, {-35363.238, -5992.920}});
        content.lines.push_back({c.name, {{-35363.238, -5992.920}, {-35300.0, -5900.0}}});
        const std::string written = writeGeoJson(content, systemIX());
        const JsonValue root = parse(written);
        for (const JsonValue& feature : at(root, "features").items) {
            EXPECT_EQ(at(at(feature, "properties"), "name").text, c.readBack);
        }
    }
}

TEST(GeoJson, EmptyContentIsAnEmptyCollection) {
    const JsonValue root = parse(writeGeoJson({}, systemIX()));
    EXPECT_EQ(at(root, "type").text, "FeatureCollection");
    EXPECT_EQ(at(root, "features").kind, JsonValue::Kind::Array);
    EXPECT_TRUE(at(root, "features").items.empty());
}

TEST(GeoJson, ALineOfOnePointIsLeftToThePoints) {
    GeoJsonContent content;
    content.lines.push_back({"A", {{-35363.238, -5992.920}}});
    content.lines.push_back({"B", {{-35363.238, -5992.920}, {-35360.0, -5990.0}}});
    const JsonValue root = parse(writeGeoJson(content, systemIX()));
    ASSERT_EQ(at(root, "features").items.size(), 1u);
    EXPECT_EQ(at(at(at(root, "features").items[0], "properties"), "name").text, "B");
}

TEST(GeoJson, RefusesWhatItCannotWriteSoundly) {
    const PlanePoint near{-35363.238, -5992.920};
    const PlanePoint farEast{-35363.238, 2.0e6};
    {
        GeoJsonContent content;
        content.points.push_back({"No.9", farEast});
        try {
            writeGeoJson(content, systemIX());
            ADD_FAILURE() << "a point 2000 km east was written";
        } catch (const OutOfSystemError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "「No.9」（X=-35363.238、Y=2000000.000）は平面直角座標系"
                      "第IX系で緯度・経度に換算できる範囲の外です。");
        }
    }
    {
        GeoJsonContent content;
        content.lines.push_back({"L", {near, {std::nan(""), 0.0}}});
        EXPECT_THROW(writeGeoJson(content, systemIX()), OutOfSystemError);
    }
    for (const char* area : {"", "1,5", "+1.0", ".5", "1.", "01.0", "NaN", "1.0 ", "1e"}) {
        GeoJsonContent content;
        content.parcels.push_back(
            {"1", {near, {near.x + 1, near.y}, {near.x, near.y + 1}}, area, "0.50"});
        EXPECT_THROW(writeGeoJson(content, systemIX()), std::invalid_argument) << area;
    }
    GeoJsonContent twoVertices;
    twoVertices.parcels.push_back({"1", {near, {near.x + 1, near.y}, near}, "0.000000", "0.00"});
    EXPECT_THROW(writeGeoJson(twoVertices, systemIX()), std::invalid_argument);
}

#ifndef _WIN32
// A second, independent reader and PROJ: Python's JSON module reads the file and pyproj takes
// each point's x and y to latitude and longitude, where Debian's Python has them.
TEST(GeoJson, PythonReadsTheExampleAndProjAgreesWithItsPositions) {
    const std::filesystem::path python = "/usr/bin/python3";
    if (!std::filesystem::exists(python)) {
        GTEST_SKIP() << "no " << python;
    }
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("karumenio-geojson-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(folder);
    const auto file = folder / "example.geojson";
    std::ofstream(file, std::ios::binary) << writeGeoJson(example(), systemIX());
    karumenio::test::Process process;
    process.program = python;
    process.arguments = {KARUMENIO_SOURCE_DIR "/tools/check_geojson_proj.py", file.string(), "9"};
    process.stdoutFile = folder / "out.txt";
    process.stderrFile = folder / "err.txt";
    const int status = karumenio::test::runProcess(process);
    std::ifstream err(process.stderrFile);
    std::ostringstream message;
    message << err.rdbuf();
    err.close();
    std::filesystem::remove_all(folder);
    if (status == 77) {
        GTEST_SKIP() << message.str();
    }
    EXPECT_EQ(status, 0) << message.str();
}
#endif

#ifdef _WIN32
constexpr const char* kDecimalCommaLocale = "German_Germany.1252";
#else
constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";
#endif

TEST(GeoJson, IsTheSameUnderALocaleThatWritesADecimalComma) {
    const std::string before = writeGeoJson(example(), systemIX());
    if (std::setlocale(LC_ALL, kDecimalCommaLocale) == nullptr) {
        GTEST_SKIP() << kDecimalCommaLocale << " is not installed (tools/test.sh makes it)";
    }
    const std::string after = writeGeoJson(example(), systemIX());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(after, before);
}

} // namespace

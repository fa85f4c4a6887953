#include "geojsonwriter.h"

#include "fixeddecimals.h"
#include "jsontext.h"
#include "transversemercator.h"

#include "numeric/conversion.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>

namespace karumenio::geodesy {

namespace {

constexpr int kDegreeDecimals = 9;
constexpr int kMetreDecimals = 3;

class FeatureWriter {
  public:
    FeatureWriter(const PlaneSystem& system, std::size_t expectedSize) : m_projection(system) {
        m_out.reserve(expectedSize);
        m_out = R"({"type":"FeatureCollection","features":[)";
    }

    void parcel(const GeoJsonParcel& parcel);
    void line(const GeoJsonLine& line);
    void point(const GeoJsonPoint& point);

    std::string finish() {
        m_out += "\n]}\n";
        return std::move(m_out);
    }

  private:
    void beginFeature(const char* geometry);
    void position(const std::string& name, PlanePoint p);
    void positions(const std::string& name, std::span<const PlanePoint> points);
    void nameProperty(const std::string& name);

    // The bits of X and Y: a plan gives most points as points and again in a section or a
    // parcel, and each is projected once.
    struct Key {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return std::hash<std::uint64_t>()(k.x * 0x9e3779b97f4a7c15u ^ k.y);
        }
    };

    TransverseMercator m_projection;
    std::unordered_map<Key, GeographicPoint, KeyHash> m_projected;
    std::string m_out;
    bool m_first = true;
};

void FeatureWriter::beginFeature(const char* geometry) {
    m_out += m_first ? "\n" : ",\n";
    m_first = false;
    m_out += R"({"type":"Feature","geometry":{"type":")";
    m_out += geometry;
    m_out += R"(","coordinates":)";
}

void FeatureWriter::position(const std::string& name, PlanePoint p) {
    const Key key{numeric::bitCast<std::uint64_t>(p.x), numeric::bitCast<std::uint64_t>(p.y)};
    auto found = m_projected.find(key);
    if (found == m_projected.end()) {
        const auto g = m_projection.toGeographic(p);
        if (!g) {
            throw OutOfSystemError("「" + name + "」（" + coordinateText(p) + "）は平面直角座標系" +
                                   systemLabel(m_projection.system()) +
                                   "で緯度・経度に換算できる範囲の外です。");
        }
        found = m_projected.emplace(key, *g).first;
    }
    m_out += '[';
    appendFixed(m_out, found->second.longitude, kDegreeDecimals);
    m_out += ',';
    appendFixed(m_out, found->second.latitude, kDegreeDecimals);
    m_out += ']';
}

void FeatureWriter::positions(const std::string& name, std::span<const PlanePoint> points) {
    m_out += '[';
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) {
            m_out += ',';
        }
        position(name, points[i]);
    }
    m_out += ']';
}

void FeatureWriter::nameProperty(const std::string& name) {
    m_out += R"(},"properties":{"name":)";
    appendJsonString(m_out, name);
}

// Twice the signed area with Y (east) across and X (north) up, as longitude and latitude
// lie: positive when the ring runs counter-clockwise. Taken about the first vertex so that
// coordinates far from the origin keep their precision.
double twiceSignedArea(std::span<const PlanePoint> ring) {
    double sum = 0.0;
    const PlanePoint o = ring.front();
    for (std::size_t i = 1; i + 1 < ring.size(); ++i) {
        const double y1 = ring[i].y - o.y;
        const double x1 = ring[i].x - o.x;
        const double y2 = ring[i + 1].y - o.y;
        const double x2 = ring[i + 1].x - o.x;
        sum += y1 * x2 - y2 * x1;
    }
    return sum;
}

void FeatureWriter::parcel(const GeoJsonParcel& parcel) {
    std::vector<PlanePoint> ring = parcel.vertices;
    const auto samePlace = [](PlanePoint a, PlanePoint b) { return a.x == b.x && a.y == b.y; };
    while (ring.size() > 1 && samePlace(ring.back(), ring.front())) {
        ring.pop_back();
    }
    if (ring.size() < 3) {
        throw std::invalid_argument("parcel \"" + parcel.name + "\" has fewer than 3 vertices");
    }
    if (!isJsonNumber(parcel.areaSquareMetres)) {
        throw std::invalid_argument("parcel \"" + parcel.name + "\" has the area \"" +
                                    parcel.areaSquareMetres + "\", not a decimal number");
    }
    // The first vertex stays first; the others are taken the other way round.
    if (twiceSignedArea(ring) < 0.0) {
        std::reverse(ring.begin() + 1, ring.end());
    }
    ring.push_back(ring.front());
    beginFeature("Polygon");
    m_out += '[';
    positions(parcel.name, ring);
    m_out += ']';
    nameProperty(parcel.name);
    m_out += R"(,"area_m2":)";
    m_out += parcel.areaSquareMetres;
    m_out += R"(,"chiseki":)";
    appendJsonString(m_out, parcel.chiseki);
    m_out += "}}";
}

void FeatureWriter::line(const GeoJsonLine& line) {
    // A LineString needs two positions; a lone point is there as a Point already.
    if (line.points.size() < 2) {
        return;
    }
    beginFeature("LineString");
    positions(line.name, line.points);
    nameProperty(line.name);
    m_out += "}}";
}

void FeatureWriter::point(const GeoJsonPoint& point) {
    beginFeature("Point");
    position(point.name, point.position);
    nameProperty(point.name);
    m_out += R"(,"x":)";
    appendFixed(m_out, point.position.x, kMetreDecimals);
    m_out += R"(,"y":)";
    appendFixed(m_out, point.position.y, kMetreDecimals);
    m_out += "}}";
}

} // namespace

std::string writeGeoJson(const GeoJsonContent& content, const PlaneSystem& system) {
    // About 130 bytes a feature besides its positions and 26 a position, with some room.
    std::size_t positions = content.points.size();
    for (const GeoJsonParcel& parcel : content.parcels) {
        positions += parcel.vertices.size() + 1;
    }
    for (const GeoJsonLine& line : content.lines) {
        positions += line.points.size();
    }
    const std::size_t features =
        content.parcels.size() + content.lines.size() + content.points.size();
    FeatureWriter writer(system, 256 + 140 * features + 27 * positions);
    for (const GeoJsonParcel& parcel : content.parcels) {
        writer.parcel(parcel);
    }
    for (const GeoJsonLine& line : content.lines) {
        writer.line(line);
    }
    for (const GeoJsonPoint& point : content.points) {
        writer.point(point);
    }
    return writer.finish();
}

} // namespace karumenio::geodesy

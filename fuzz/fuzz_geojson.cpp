// The GeoJSON of a plan from arbitrary names and coordinates: it is JSON (read back strictly),
// a name that is UTF-8 reads back unchanged, and a point within the projection's reach gets a
// finite latitude and longitude; a point beyond it is refused with its message, never written.
#include "../tests/geodesy/jsonvalue.h"

#include "geodesy/geojsonwriter.h"
#include "geodesy/transversemercator.h"
#include "spreadsheet/codepage.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace karumenio;
using namespace karumenio::geodesy;

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 17) {
        return 0;
    }
    const PlaneSystem& system = planeSystems()[data[0] % planeSystems().size()];
    double x = 0.0;
    double y = 0.0;
    std::memcpy(&x, data + 1, sizeof x);
    std::memcpy(&y, data + 9, sizeof y);
    const std::string name(reinterpret_cast<const char*>(data + 17), size - 17);

    const auto g = TransverseMercator(system).toGeographic({x, y});
    if (g && !(std::isfinite(g->latitude) && std::isfinite(g->longitude))) {
        fail("a point within reach got no finite latitude and longitude");
    }
    GeoJsonContent content;
    content.points.push_back({name, {x, y}});
    content.lines.push_back({name, {{x, y}, {x + 1.0, y}}});
    content.parcels.push_back({name, {{x, y}, {x, y + 1.0}, {x + 1.0, y}}, "0.500000", name});
    std::string written;
    try {
        written = writeGeoJson(content, system);
    } catch (const OutOfSystemError&) {
        if (g && std::fabs(x) < 4.0e6 && std::fabs(y) < 9.0e5) {
            fail("a point well within reach was refused");
        }
        return 0;
    } catch (const std::invalid_argument&) {
        // A metre is lost in coordinates of 2^53 m and more: the parcel has one vertex.
        if (std::fabs(x) < 0x1p52 && std::fabs(y) < 0x1p52) {
            fail("a parcel of three vertices was refused");
        }
        return 0;
    }
    geodesy::test::JsonReader reader(written);
    const auto root = reader.read();
    if (!root) {
        std::fprintf(stderr, "%s\n", reader.error().c_str());
        fail("the GeoJSON is not JSON");
    }
    if (spreadsheet::isValidUtf8(name)) {
        for (const auto& feature : root->member("features")->items) {
            if (feature.member("properties")->member("name")->text != name) {
                fail("a UTF-8 name did not read back unchanged");
            }
        }
    }
    return 0;
}

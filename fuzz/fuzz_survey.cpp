// SIMA and CSV/TSV points files opened into the worksheet: refused with a run-time error or
// read, never a crash.
#include "points/runtimeerror.h"
#include "points/worksheet.h"
#include "survey/pointsfile.h"

#include <cstdint>
#include <string_view>

using namespace karumenio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    static const char* const kNames[] = {"points.sim", "points.csv", "points.tsv", "points"};
    points::Worksheet sheet;
    try {
        survey::openPointsFile(sheet, bytes, kNames[data[0] % 4], {});
    } catch (const points::RunTimeError&) {
    }
    return 0;
}

// SIMA and CSV/TSV points files opened into the worksheet: refused with a run-time error or
// read, never a crash.
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"
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
    spreadsheet::Worksheet sheet;
    try {
        survey::openPointsFile(sheet, bytes, kNames[data[0] % 4], {});
    } catch (const spreadsheet::RunTimeError&) {
    }
    return 0;
}

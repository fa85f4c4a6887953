// Formula text typed into a cell that other formulas refer to: it is parsed and evaluated
// with the dependants recalculated, and must end as a value, never a crash.
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace karumenio::spreadsheet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Worksheet sheet;
    try {
        sheet.setValue(1, 1, CellValue::number(2));
        sheet.setValue(2, 1, CellValue::text("x"));
        sheet.setFormula(1, 3, "=B1*2");
        sheet.setFormula(1, 2, text.starts_with("=") ? text : "=" + text);
        (void)sheet.value(1, 2);
        (void)sheet.value(1, 3);
    } catch (const RunTimeError&) {
    }
    return 0;
}

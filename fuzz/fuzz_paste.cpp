// Clipboard bytes pasted at A6 and read: anything may be refused with a run-time error,
// nothing may crash.
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace karumenio::spreadsheet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Worksheet sheet;
    try {
        sheet.apply(paste(sheet, 6, 1, bytes));
    } catch (const RunTimeError&) {
    }
    try {
        splitClipboardText(bytes, 3);
    } catch (const RunTimeError&) {
    }
    return 0;
}

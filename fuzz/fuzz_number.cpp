// The number scanner and formatter against the standard library: text that reads as a number
// reads as from_chars reads it, and a formatted number carries the value that "%.14e"
// (15 significant digits) gives. Run in the C locale.
#include "numeric/conversion.h"
#include "spreadsheet/cellvalue.h"
#include "spreadsheet/decimalscan.h"
#include "spreadsheet/numberformat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace karumenio::spreadsheet;

namespace {

// As the oracle is read: 15 digits of the largest doubles round beyond the range.
double parsed(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        std::fprintf(stderr, "formatted text does not read back: \"%s\"\n", text.c_str());
        std::abort();
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            char oracle[64];
            std::snprintf(oracle, sizeof oracle, "%.14e", value);
            const double expected = std::strtod(oracle, nullptr);
            for (const bool leadingZero : {false, true}) {
                std::string text = formatNumber(value, leadingZero);
                // ".5" and "-.5": from_chars wants the zero.
                if (text.starts_with(".") || text.starts_with("-.")) {
                    text.insert(text.find('.'), "0");
                }
                if (parsed(text) != expected && !(expected == 0 && parsed(text) == 0)) {
                    std::fprintf(stderr, "%.17g formatted \"%s\", expected %s\n", value,
                                 text.c_str(), oracle);
                    std::abort();
                }
            }
        }
    }

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const DecimalScan scan = scanDecimal(text);
    if (scan.digits > 0) {
        double value = 0;
        const auto result =
            karumenio::numeric::fromChars(text.data(), text.data() + scan.end, value);
        if (result.ptr != text.data() + scan.end) {
            std::fprintf(stderr, "scanned %zu characters, from_chars read %td\n", scan.end,
                         result.ptr - text.data());
            std::abort();
        }
    }
    if (const auto number = readNumber(text); number && std::isfinite(*number)) {
        const std::string trimmed = trimBlanks(text);
        const std::size_t start = trimmed.starts_with('+') ? 1 : 0;
        double value = 0;
        const auto result = karumenio::numeric::fromChars(trimmed.data() + start,
                                                          trimmed.data() + trimmed.size(), value);
        if (result.ec == std::errc() && value != *number) {
            std::fprintf(stderr, "\"%s\" read as %.17g, from_chars gives %.17g\n", trimmed.c_str(),
                         *number, value);
            std::abort();
        }
    }
    return 0;
}

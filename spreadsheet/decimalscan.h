#pragma once

#include <cstddef>
#include <string_view>

namespace karumenio::spreadsheet {

struct DecimalScan {
    // One past the number's last character.
    std::size_t end = 0;
    // Digits before the exponent; 0 means there is no number at the start.
    std::size_t digits = 0;
};

// Scans an unsigned decimal number at pos: digits with at most one ".", then an exponent
// ("e5", "E-2") only when it is complete, so "1e" scans as "1".
DecimalScan scanDecimal(std::string_view text, std::size_t pos = 0);

} // namespace karumenio::spreadsheet

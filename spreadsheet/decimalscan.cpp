#include "decimalscan.h"

#include "ascii.h"

namespace karumenio::spreadsheet {

namespace {

bool isDigit(std::string_view text, std::size_t i) {
    return i < text.size() && ascii::isDigit(text[i]);
}

} // namespace

DecimalScan scanDecimal(std::string_view text, std::size_t pos) {
    DecimalScan scan;
    std::size_t i = pos;
    for (; isDigit(text, i); ++i) {
        ++scan.digits;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; isDigit(text, i); ++i) {
            ++scan.digits;
        }
    }
    if (scan.digits == 0) {
        scan.end = pos;
        return scan;
    }
    scan.end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (isDigit(text, j)) {
            while (isDigit(text, j)) {
                ++j;
            }
            scan.end = j;
        }
    }
    return scan;
}

} // namespace karumenio::spreadsheet

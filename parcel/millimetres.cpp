#include "millimetres.h"

#include "wideinteger.h"

#include "spreadsheet/numberformat.h"

#include <cmath>

namespace karumenio::parcel {

std::optional<std::int64_t> toMillimetres(double metres) {
    if (!std::isfinite(metres) || !(std::fabs(metres) < kLargestCoordinate)) {
        return std::nullopt;
    }
    const std::string text = spreadsheet::formatNumber(metres, true);
    // Below 10^15 only magnitudes under 0.0001 take the exponent form: they are 0 mm.
    if (text.find('E') != std::string::npos) {
        return 0;
    }
    const bool negative = text[0] == '-';
    std::int64_t whole = 0;
    int decimals = -1;
    bool roundUp = false;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            decimals = 0;
            continue;
        }
        if (decimals < 3) {
            whole = whole * 10 + (c - '0');
            decimals += decimals >= 0 ? 1 : 0;
        } else if (decimals == 3) {
            // The first digit past the millimetre decides: 5 and more is half or above.
            roundUp = c >= '5';
            break;
        }
    }
    for (decimals = decimals < 0 ? 0 : decimals; decimals < 3; ++decimals) {
        whole *= 10;
    }
    whole += roundUp ? 1 : 0;
    return negative ? -whole : whole;
}

std::string metresText(std::int64_t millimetres) {
    return fixedPoint(millimetres, 3);
}

} // namespace karumenio::parcel

#include "lotsign.h"

namespace karumenio::parcel {

const LotSignStyle* findLotSignStyle(std::string_view token) {
    for (const LotSignStyle& style : kLotSignStyles) {
        if (style.token == token) {
            return &style;
        }
    }
    return nullptr;
}

std::string lotSign(const LotSignStyle& style, std::size_t index) {
    if (index < style.signs.size()) {
        return std::string(style.signs[index]);
    }
    return "(" + std::to_string(index + 1) + ")";
}

} // namespace karumenio::parcel

#include "landcategory.h"

namespace karumenio::parcel {

const LandCategory* findLandCategory(std::string_view token) {
    for (const LandCategory& category : kLandCategories) {
        if (category.token == token) {
            return &category;
        }
    }
    return nullptr;
}

} // namespace karumenio::parcel

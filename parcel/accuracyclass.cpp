#include "accuracyclass.h"

#include <cmath>

namespace karumenio::parcel {

const AccuracyClass* findAccuracyClass(std::string_view token) {
    for (const AccuracyClass& accuracy : kAccuracyClasses) {
        if (accuracy.token == token || accuracy.listText == token) {
            return &accuracy;
        }
    }
    return nullptr;
}

std::int64_t areaTolerance(const AccuracyClass& accuracy, std::int64_t squareMillimetres) {
    const double f = static_cast<double>(squareMillimetres > 0 ? squareMillimetres : 0) / 1e6;
    const double squareMetres = (accuracy.a + accuracy.b * std::sqrt(std::sqrt(f))) * std::sqrt(f);
    // Thousandths of a square metre are a thousand square millimetres.
    return std::llround(squareMetres * 1000.0);
}

} // namespace karumenio::parcel

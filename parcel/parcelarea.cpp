#include "parcelarea.h"

#include "landcategory.h"

namespace karumenio::parcel {

namespace {

constexpr std::uint32_t kSquareMillimetresPerHundredth = 10000;
constexpr std::uint32_t kSquareMillimetresPerSquareMetre = 1000000;
// 10 m² in square millimetres, doubled to compare with the double area.
constexpr std::int64_t kTenSquareMetresDoubled = 2 * 10 * std::int64_t{1000000};

} // namespace

ParcelArea computeArea(const Parcel& parcel, const LandCategory& category) {
    ParcelArea result;
    result.name = parcel.name;
    const std::vector<Vertex>& v = parcel.vertices;
    const std::size_t n = v.size();
    result.rows.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        const Vertex& next = v[(k + 1) % n];
        const Vertex& previous = v[(k + n - 1) % n];
        AreaRow row;
        row.vertex = v[k];
        row.yDifference = next.y - previous.y;
        row.term = WideInteger::product(v[k].x, row.yDifference);
        result.signedDoubleArea += row.term;
        result.rows.push_back(row);
    }
    result.doubleArea = result.signedDoubleArea.magnitude();
    result.area = result.doubleArea.dividedBy(2).quotient;
    const bool whole = category.rule == AreaRule::WholeAboveTen &&
                       result.doubleArea > WideInteger(kTenSquareMetresDoubled);
    result.registeredDecimals = whole ? 0 : 2;
    result.registeredArea =
        result.area
            .dividedBy(whole ? kSquareMillimetresPerSquareMetre : kSquareMillimetresPerHundredth)
            .quotient;
    return result;
}

std::vector<ParcelArea> computeAreas(const std::vector<Parcel>& parcels,
                                     const LandCategory& category) {
    std::vector<ParcelArea> areas;
    areas.reserve(parcels.size());
    for (const Parcel& parcel : parcels) {
        areas.push_back(computeArea(parcel, category));
    }
    return areas;
}

} // namespace karumenio::parcel

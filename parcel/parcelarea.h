#pragma once

#include "parcel.h"
#include "wideinteger.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::parcel {

struct LandCategory;

// One line of the coordinate method: a corner and its term Xk × (Yk+1 − Yk−1).
struct AreaRow {
    Vertex vertex;
    // Yk+1 − Yk−1 in millimetres, the neighbours taken round the parcel.
    std::int64_t yDifference = 0;
    // In square millimetres, exact.
    WideInteger term;
};

// The area of a parcel by the coordinate method, exact on the millimetre coordinates. Every
// value is an integer in square millimetres (1E-6 m²) or in the registered area's unit.
struct ParcelArea {
    std::string name;
    std::vector<AreaRow> rows;
    // The sum of the terms: positive when the corners run counter-clockwise with X drawn to
    // the right and Y upwards.
    WideInteger signedDoubleArea;
    // 倍面積: the magnitude of the sum.
    WideInteger doubleArea;
    // 面積: half of it, truncated to the square millimetre.
    WideInteger area;
    // 地積: the area truncated to 10^-registeredDecimals m² (0.01 m², or 1 m² by the rule of
    // the land category).
    WideInteger registeredArea;
    int registeredDecimals = 2;

    // The three totals as the area table names and writes them: 倍面積 and 面積 with 6
    // decimals, 地積 with 2 or 0.
    struct Total {
        std::string_view name;
        std::string value;
    };
    std::array<Total, 3> totals() const {
        return {
            {{"倍面積", doubleAreaText()}, {"面積", areaText()}, {"地積", registeredAreaText()}}};
    }
    std::string doubleAreaText() const { return doubleArea.fixedPoint(6); }
    std::string areaText() const { return area.fixedPoint(6); }
    std::string registeredAreaText() const { return registeredArea.fixedPoint(registeredDecimals); }
};

// The coordinate method over the parcel's corners in their order, cyclically: the terms, the
// double area, the area and the registered area under the category's rule. The bounds of the
// millimetre coordinates (below 10^18) keep every sum well inside the wide integer.
ParcelArea computeArea(const Parcel& parcel, const LandCategory& category);

// The areas of all parcels, in their order.
std::vector<ParcelArea> computeAreas(const std::vector<Parcel>& parcels,
                                     const LandCategory& category);

} // namespace karumenio::parcel

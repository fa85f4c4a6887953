#pragma once

#include "planesystem.h"

#include <span>
#include <string_view>
#include <vector>

namespace karumenio::geodesy {

// A prefecture (都道府県) and the plane rectangular systems the law assigns to its land: one
// for most, several where islands or a wide land lie in more than one.
struct Prefecture {
    std::string_view name;
    // The systems' numbers, in order; unused places are 0.
    int systems[4];

    std::vector<const PlaneSystem*> planeSystems() const;
    bool hasSystem(const PlaneSystem& system) const;
};

// The forty-seven prefectures, from north to south.
std::span<const Prefecture> prefectures();

// The prefecture a location (所在) starts with, blanks before it left out ("千葉県市川市…");
// nullptr when it starts with none.
const Prefecture* prefectureOf(std::string_view location);

} // namespace karumenio::geodesy

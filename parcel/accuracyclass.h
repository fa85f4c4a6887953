#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace karumenio::parcel {

// A class of survey accuracy (精度区分) and its area tolerance (地積測定の公差)
// (a + b·⁴√F)·√F m² for an area of F m², with a and b in thousandths. The coefficients are
// those of 国土調査法施行令 別表第四.
struct AccuracyClass {
    // What the command line and settings call it.
    std::string_view token;
    // What the lists and messages show.
    std::string_view listText;
    int a;
    int b;
};

inline constexpr std::array<AccuracyClass, 6> kAccuracyClasses{{
    {"甲1", "甲一", 25, 3},
    {"甲2", "甲二", 50, 10},
    {"甲3", "甲三", 100, 20},
    {"乙1", "乙一", 100, 40},
    {"乙2", "乙二", 250, 70},
    {"乙3", "乙三", 500, 140},
}};

// The class with this token ("甲1"; the kanji numeral "甲一" is taken too); nullptr when there is
// none.
const AccuracyClass* findAccuracyClass(std::string_view token);

// The class's tolerance for an area of this many square millimetres, in square millimetres
// rounded to the nearest: the formula is irrational, and a double's error is far below 1 mm²
// for any area a parcel has.
std::int64_t areaTolerance(const AccuracyClass& accuracy, std::int64_t squareMillimetres);

} // namespace karumenio::parcel

#pragma once

#include "parcel.h"
#include "wideinteger.h"

#include <cstdint>
#include <string>
#include <vector>

namespace karumenio::parcel {

// A side of a parcel, from one corner to the next, and its length in whole millimetres,
// truncated: the exact square root of the sum of the squared differences, rounded down.
struct Side {
    Vertex from;
    Vertex to;
    std::int64_t length = 0;

    // Metres with 3 decimals: "12.345".
    std::string lengthText() const;
};

// floor(√n) for n = high × 2^64 + low, exact for every n below 2^126.
std::uint64_t floorSquareRoot(WordProduct n);

// The length of the line between two corners, in whole millimetres, truncated.
std::int64_t distanceMillimetres(const Vertex& a, const Vertex& b);

// Every side of the parcel in the order of its corners, the closing one last.
std::vector<Side> sidesOf(const Parcel& parcel);

} // namespace karumenio::parcel

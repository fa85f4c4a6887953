#pragma once

#include "doubledouble.h"

#include <cstdint>
#include <vector>

namespace karumenio::numeric {

// x·2/π as a whole number of quarter turns and a remainder in [-1/2, 1/2], from the bits of
// 2/π, exactly but for the bits of 2/π left off: the remainder is within 2^(53 - fractionBits)
// of the true one.
struct QuarterTurns {
    // The whole number modulo 4.
    int quadrant = 0;
    bool negative = false;
    // |remainder|·2^fractionBits, least significant limb first.
    std::vector<std::uint32_t> magnitude;
    int fractionBits = 0;
};

// Works for any finite x (Payne and Hanek's way); the remainder gets at least wantedBits
// fraction bits unless the table of 2/π runs out, which it does not below 700 or so.
QuarterTurns quarterTurns(double x, int wantedBits);

// x = quadrant·π/2 + t with |t| at most π/4 and a little, t within absoluteError of the true
// remainder.
struct ReducedAngle {
    int quadrant = 0;
    DoubleDouble t;
    double absoluteError = 0.0;
};

// Cody and Waite's four-part π/2 below 2^20, quarterTurns above.
ReducedAngle reduceAngle(double x);

} // namespace karumenio::numeric

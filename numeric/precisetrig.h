#pragma once

namespace karumenio::numeric {

// Sine, cosine and arc tangent correctly rounded by evaluating with hundreds of bits, more
// each time the result still lies too close to the midpoint between two doubles to round.
// A few microseconds a call: for the arguments the double-double evaluation cannot decide.
// Finite x, not below 2^-26 (sine) or 2^-27 (cosine, arc tangent) in magnitude; for the arc
// tangent also below 2^55.
// `limbs` is the first width in 32-bit limbs: 6, 12 or 24. The functions start at 6; the
// tests also start wider, to check the evaluations that hardly any argument reaches.
double preciseSin(double x, int limbs = 6);
double preciseCos(double x, int limbs = 6);
double preciseAtan(double x, int limbs = 6);

} // namespace karumenio::numeric

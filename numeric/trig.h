#pragma once

namespace karumenio::numeric {

// Sine, cosine and arc tangent rounded to the nearest double, the same bits on every platform
// and compiler: the scripts' numbers must not depend on the C library they were built with.
// Signed zeros, infinities and NaN come out as from the C library.
double sin(double x);
double cos(double x);
double atan(double x);

} // namespace karumenio::numeric

#pragma once

namespace karumenio::geodesy {

// Exponential, logarithm and the functions built on them, from IEEE additions,
// multiplications, divisions and square roots only, with the plan's own arc tangent: the same
// bits on every platform and compiler, which the C library's versions do not promise. Within
// two units in the last place of the true value (the tests measure it); infinities, NaN and
// the values outside a function's domain come out as from the C library.
double exp(double x);
double expm1(double x);
double log(double x);
double log1p(double x);
double sinh(double x);
double cosh(double x);
double atanh(double x);
double asinh(double x);
double asin(double x);
double atan2(double y, double x);

} // namespace karumenio::geodesy

#pragma once

#include <string_view>

namespace karumenio::plan {

// Reads a number the loose way the angle box is read: blanks, tabs and line feeds are
// ignored anywhere; then an optional sign, digits with one ".", an optional exponent, or
// &H / &O followed by a hexadecimal or octal whole number. Reading stops at the first
// character that cannot continue the number; no number gives 0. A magnitude too large for a
// double is an overflow.
double looseNumber(std::string_view text);

// Decimal degrees of a packed ddd.mmss number: the integer part gives degrees, the first two
// decimals minutes, the next two whole seconds and any further decimals fractions of a
// second; missing decimals count as zeros. The fields are taken from the decimal digits of
// the number, so "45.3000" gives exactly 45.5.
double packedAngleDegrees(double packed);

} // namespace karumenio::plan

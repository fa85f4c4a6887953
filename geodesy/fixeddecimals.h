#pragma once

#include "coordinates.h"

#include <string>

namespace karumenio::geodesy {

// Appends a finite number with exactly that many decimals (0 to 12), "." as the separator
// whatever the locale, rounded from its exact binary value the same way on every platform:
// to the nearest, a value exactly on the half away from zero, as coordinates are rounded to
// the millimetre. A value that rounds to zero is written without a minus sign.
void appendFixed(std::string& out, double value, int decimals);

std::string fixed(double value, int decimals);

// "X=-23795.960、Y=-32832.251" for the surveyor's messages; "?" for a coordinate that is not
// a finite number.
std::string coordinateText(PlanePoint p);

} // namespace karumenio::geodesy

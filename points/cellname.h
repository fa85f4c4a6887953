#pragma once

#include <string>

namespace karumenio::points {

// "C12" for row 12, column 3.
std::string cellName(int row, int column);

} // namespace karumenio::points

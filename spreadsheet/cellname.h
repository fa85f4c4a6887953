#pragma once

#include <string>

namespace karumenio::spreadsheet {

// "C12" for row 12, column 3.
std::string cellName(int row, int column);

} // namespace karumenio::spreadsheet

#pragma once

#include <string>

namespace karumenio::spreadsheet {

// "C" for column 3, "AA" for column 27.
std::string columnName(int column);

// "C12" for row 12, column 3.
std::string cellName(int row, int column);

} // namespace karumenio::spreadsheet

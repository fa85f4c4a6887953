#pragma once

#include "cellvalue.h"

#include <string>
#include <string_view>

namespace karumenio::spreadsheet {

class Worksheet;

// The text a cell shows under its number format; a zero shows nothing when the sheet hides
// zero values.
std::string displayText(const Worksheet& sheet, int row, int column);

// A value shown under a number format: "General" (numbers to 10 significant digits, larger
// or tinier ones in exponent form), or a fixed-decimals format such as "0", "0.0" or
// "0.0_ " where "_x" leaves the room of one character (a blank). Text, booleans and error
// codes show as they are; unknown formats fall back to General.
std::string formatValue(const CellValue& value, std::string_view numberFormat);

} // namespace karumenio::spreadsheet

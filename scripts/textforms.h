#pragma once

#include "spreadsheet/cellvalue.h"

#include <string>

namespace karumenio::scripts {

// The coordinate form: the number with at most 15 significant digits, no blank, no "0"
// before the point (".5", "-1.5", "100", "7.9602041944578E-17"). Empty counts as 0; text
// that does not read as a number is a type mismatch.
std::string coordinateForm(const spreadsheet::CellValue& value);

// The plain form: numbers with a "0" before the point ("0.5"), text as it stands, Empty as
// nothing; ASCII blanks at both ends are trimmed. Never fails.
std::string plainForm(const spreadsheet::CellValue& value);

// Appending variants for the script writers, which format thousands of numbers per run.
void appendCoordinateForm(std::string& out, double value);
void appendCoordinateForm(std::string& out, const spreadsheet::CellValue& value);
void appendPlainForm(std::string& out, const spreadsheet::CellValue& value);

} // namespace karumenio::scripts

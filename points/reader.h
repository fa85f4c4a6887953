#pragma once

#include "pointtable.h"

#include <functional>
#include <string>
#include <string_view>

namespace karumenio::points {

class Workbook;
class Worksheet;

// Called once per copied point with the progress bar's minimum, maximum and current value.
using ReadProgress = std::function<void(float minimum, float maximum, float value)>;

inline constexpr std::string_view kReadTitle = "座標の読込";
inline constexpr std::string_view kDataSheetName = "SHEET1";

// Reads the points of sheet "SHEET1" into the table: the data rows run from row 6 down to
// the first row whose column C is empty text, and columns C, D, G, A and B of row 6 + i go to
// slot i of pointX, pointY, markRadius, breakMark and labelText. Slots beyond the count keep
// what they held. Returns the sheet read, which the drawing frame reads later.
// More data rows than the table has slots, or no sheet "SHEET1", throw the subscript error
// with the table untouched.
Worksheet& readPoints(Workbook& book, PointTable& table, const ReadProgress& progress = {});

// The message reporting a finished read: "座標読込完了　25　データ".
std::string readMessage(int count);

} // namespace karumenio::points

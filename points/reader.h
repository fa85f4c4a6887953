#pragma once

#include "pointtable.h"

#include <functional>
#include <string>
#include <string_view>

namespace karumenio::spreadsheet {
class Workbook;
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::points {

// Called once per copied point with the progress bar's minimum, maximum and current value.
using ReadProgress = std::function<void(float minimum, float maximum, float value)>;

inline constexpr std::string_view kReadTitle = "座標の読込";
inline constexpr std::string_view kDataSheetName = "SHEET1";

// Reads the points of sheet "SHEET1" into the table: the data rows run from row 6 down to
// the first row whose column C is empty text, and columns C, D, G, A, B, H and I of row 6 + i go
// to slot i of pointX, pointY, markRadius, breakMark, labelText, boundaryMark and pointClass. Slots
// beyond the count keep what they held. Returns the sheet read, which the drawing frame reads
// later. More data rows than the table has slots, or no sheet "SHEET1", throw the subscript error
// with the table untouched.
spreadsheet::Worksheet& readPoints(spreadsheet::Workbook& book, PointTable& table,
                                   const ReadProgress& progress = {});

// The message reporting a finished read: "座標読込完了　25　データ".
std::string readMessage(int count);

// What a finished read found: the points it copied, and the rows below the row that ended
// the data that hold anything, which it did not read.
struct ReadSummary {
    int count = 0;
    int rowsNotRead = 0;

    // The row whose empty column C ended the data.
    int endRow() const;
    // The second line of the message, saying how many rows below endRow() were not read;
    // empty when there are none.
    std::string note() const;
    // readMessage(count), and the note on a line of its own when there is one.
    std::string message() const;
};

// The summary of a read of count points from the sheet: its rows below the data with a value
// in a data column (empty text is none) are counted.
ReadSummary summarizeRead(const spreadsheet::Worksheet& sheet, int count);

} // namespace karumenio::points

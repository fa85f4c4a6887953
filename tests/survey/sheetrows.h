#pragma once

// What the survey tests compare: the worksheet's rows as the reader will see them.

#include "points/pointtable.h"
#include "spreadsheet/worksheet.h"

#include <string>

namespace karumenio::survey::test {

// Rows 6 down to the first empty C as "A|B|C|D" lines.
inline std::string sheetRows(const spreadsheet::Worksheet& sheet) {
    std::string rows;
    for (int row = points::kFirstDataRow; !sheet.value(row, points::kPointXColumn).isEmpty();
         ++row) {
        for (int column = 1; column <= 4; ++column) {
            rows += sheet.value(row, column).joinForm() + (column < 4 ? "|" : "\n");
        }
    }
    return rows;
}

} // namespace karumenio::survey::test

#pragma once

// Helpers that fill the input template the way a surveyor's paste does.

#include "points/inputtemplate.h"
#include "spreadsheet/paste.h"

#include <fstream>
#include <sstream>
#include <string>

namespace karumenio::points::testing {

inline std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(KARUMENIO_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Rows of "A\tB\tC\tD" (no G field, so the radius formulas stay) with C = first + i.
inline std::string numberedRows(int count, int first = 0) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "\tP" + std::to_string(i + 1) + "\t" + std::to_string(first + i) + "\t" +
                std::to_string(-2 * i) + "\r\n";
    }
    return text;
}

inline spreadsheet::Worksheet& dataSheet(spreadsheet::Workbook& book) {
    return book.worksheets("SHEET1");
}

} // namespace karumenio::points::testing

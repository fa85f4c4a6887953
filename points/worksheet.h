#pragma once

#include "cellvalue.h"

#include <map>
#include <string>
#include <utility>

namespace karumenio::points {

// A worksheet: cells addressed by 1-based row and column.
class Worksheet {
public:
    explicit Worksheet(std::string name = "Sheet1");

    const std::string& name() const { return m_name; }

    // The value the cell shows: its constant, or its formula's result. Cells outside the grid
    // or never written are Empty.
    const CellValue& value(int row, int column) const;
    void setValue(int row, int column, CellValue value);

private:
    std::string m_name;
    std::map<std::pair<int, int>, CellValue> m_cells;
};

// "C12" for row 12, column 3.
std::string cellName(int row, int column);

} // namespace karumenio::points

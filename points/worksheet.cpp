#include "worksheet.h"

namespace karumenio::points {

namespace {
const CellValue kEmpty;
}

Worksheet::Worksheet(std::string name) : m_name(std::move(name)) {}

const CellValue& Worksheet::value(int row, int column) const {
    auto it = m_cells.find({row, column});
    return it == m_cells.end() ? kEmpty : it->second;
}

void Worksheet::setValue(int row, int column, CellValue value) {
    m_cells[{row, column}] = std::move(value);
}

std::string cellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters + std::to_string(row);
}

} // namespace karumenio::points

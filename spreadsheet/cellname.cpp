#include "cellname.h"

namespace karumenio::spreadsheet {

std::string columnName(int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters;
}

std::string cellName(int row, int column) {
    return columnName(column) + std::to_string(row);
}

} // namespace karumenio::spreadsheet

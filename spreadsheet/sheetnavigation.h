#pragma once

namespace karumenio::spreadsheet {

class Worksheet;

// A cell by its 1-based row and column.
struct CellPosition {
    int row = 1;
    int column = 1;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// Where Ctrl with an arrow key goes from a cell, one step being rowStep rows and columnStep
// columns (one of them ±1, the other 0), as spreadsheets go: from a filled cell beside a filled
// one, to the last filled cell before an empty one; otherwise to the next filled cell; without
// one, to the edge of the sheet. A formula counts as filled whatever it shows. Only the columns
// a user sees are stepped on.
CellPosition dataEdge(const Worksheet& sheet, CellPosition from, int rowStep, int columnStep);

// Where Ctrl+End goes: the last row that holds anything, in the last shown column that does;
// A1 for an empty sheet.
CellPosition lastUsedCell(const Worksheet& sheet);

} // namespace karumenio::spreadsheet

#pragma once

#include "pieces.h"
#include "sheetbuilder.h"

#include <vector>

namespace karumenio::layout {

// The rows of a table on the paper: a title, the heading, the cells.
inline constexpr double kTableTitleRowHeight = 6.0;
inline constexpr double kTableRowHeight = 4.0;

// The widths of a table's columns: its widest cell each, with room on both sides.
struct TableMeasure {
    std::vector<double> widths;
    double width = 0.0;
};

TableMeasure measureTable(const Table& table);

// The rows of a table that stand in one column of a sheet.
struct TablePiece {
    std::size_t table = 0;
    std::size_t firstRow = 0;
    std::size_t rowCount = 0;
    // Not the table's first piece: its title says it is continued.
    bool continued = false;
};

// The height of a piece of so many rows, its title and heading included.
double pieceHeight(const Table& table, std::size_t rows);

// Draws the piece with its upper right corner at the point, its lines and texts on the tables'
// layer, and keeps its box clear; returns the box.
Box drawTablePiece(SheetBuilder& sheet, const Table& table, const TableMeasure& measure,
                   const TablePiece& piece, Point upperRight);

} // namespace karumenio::layout

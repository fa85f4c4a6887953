#include "sheetnavigation.h"

#include "worksheet.h"

#include <optional>

namespace karumenio::spreadsheet {

namespace {

bool isShown(const SheetLayout& layout, int column) {
    return !layout.isColumnHidden(column) && layout.columnWidth(column) > 0;
}

// The next cell a step away that a user sees; nothing beyond the sheet's edge.
std::optional<CellPosition> next(const Worksheet& sheet, CellPosition at, int rowStep,
                                 int columnStep) {
    const int lastColumn = sheet.layout().lastShownColumn(Worksheet::kColumnCount);
    do {
        at.row += rowStep;
        at.column += columnStep;
        if (at.row < 1 || at.row > Worksheet::kRowCount || at.column < 1 ||
            at.column > lastColumn) {
            return std::nullopt;
        }
    } while (columnStep != 0 && !isShown(sheet.layout(), at.column));
    return at;
}

bool filled(const Worksheet& sheet, CellPosition at) {
    return !sheet.isEmpty(at.row, at.column);
}

} // namespace

CellPosition dataEdge(const Worksheet& sheet, CellPosition from, int rowStep, int columnStep) {
    std::optional<CellPosition> step = next(sheet, from, rowStep, columnStep);
    if (!step) {
        return from;
    }
    CellPosition at = *step;
    if (filled(sheet, from) && filled(sheet, at)) {
        // Along the block of filled cells to its last one.
        while (const auto further = next(sheet, at, rowStep, columnStep)) {
            if (!filled(sheet, *further)) {
                break;
            }
            at = *further;
        }
        return at;
    }
    // Over the empty cells to the next filled one, or to the edge.
    while (!filled(sheet, at)) {
        const auto further = next(sheet, at, rowStep, columnStep);
        if (!further) {
            break;
        }
        at = *further;
    }
    return at;
}

CellPosition lastUsedCell(const Worksheet& sheet) {
    const int lastRow = sheet.lastUsedRow();
    if (lastRow == 0) {
        return {};
    }
    for (int column = sheet.layout().lastShownColumn(Worksheet::kColumnCount); column >= 1;
         --column) {
        if (!isShown(sheet.layout(), column)) {
            continue;
        }
        for (int row = 1; row <= lastRow; ++row) {
            if (filled(sheet, {row, column})) {
                return {lastRow, column};
            }
        }
    }
    return {lastRow, 1};
}

} // namespace karumenio::spreadsheet

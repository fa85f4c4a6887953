#include "templaterestore.h"

#include "pointtable.h"

#include "spreadsheet/worksheet.h"

#include <algorithm>

namespace karumenio::points {

namespace {

spreadsheet::EditRecord restore(spreadsheet::Worksheet& sheet,
                                const spreadsheet::Worksheet& original, int top, int left,
                                int bottom, int right, bool shownOnly) {
    // Nothing a user can type or paste reaches beyond the template's last shown column.
    top = std::max(top, 1);
    left = std::max(left, 1);
    right =
        std::min(right, original.layout().lastShownColumn(spreadsheet::Worksheet::kColumnCount));
    bottom = std::min(bottom, std::max(sheet.lastUsedRow(), original.lastUsedRow()));
    spreadsheet::EditRecord changes;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (shownOnly && sheet.layout().isColumnHidden(column)) {
                continue;
            }
            spreadsheet::CellContent wanted = original.content(row, column);
            if (sheet.content(row, column) != wanted) {
                changes.push_back(spreadsheet::CellChange{row, column, {}, std::move(wanted)});
            }
        }
    }
    return sheet.apply(std::move(changes));
}

} // namespace

spreadsheet::EditRecord restoreTemplateCells(spreadsheet::Worksheet& sheet,
                                             const spreadsheet::Worksheet& original, int top,
                                             int left, int bottom, int right) {
    return restore(sheet, original, top, left, bottom, right, true);
}

spreadsheet::EditRecord restoreWholeTemplate(spreadsheet::Worksheet& sheet,
                                             const spreadsheet::Worksheet& original) {
    return restore(sheet, original, 1, 1, spreadsheet::Worksheet::kRowCount,
                   spreadsheet::Worksheet::kColumnCount, false);
}

spreadsheet::EditRecord restoreJobRows(spreadsheet::Worksheet& sheet,
                                       const spreadsheet::Worksheet& original) {
    return restore(sheet, original, kFirstDataRow, 1, spreadsheet::Worksheet::kRowCount,
                   spreadsheet::Worksheet::kColumnCount, true);
}

bool holdsAJob(const spreadsheet::Worksheet& sheet) {
    const int last = sheet.lastUsedRow();
    for (int row = kFirstDataRow; row <= last; ++row) {
        for (const int column : {kBreakMarkColumn, kLabelTextColumn, kPointXColumn, kPointYColumn,
                                 kBoundaryMarkColumn, kPointClassColumn}) {
            if (!sheet.isEmpty(row, column)) {
                return true;
            }
        }
        // A typed radius below the default cell replaces the template's formula.
        if (row > kFirstDataRow) {
            const spreadsheet::CellContent radius = sheet.content(row, kMarkRadiusColumn);
            if (!radius.isFormula() && !radius.isEmpty()) {
                return true;
            }
        }
    }
    return false;
}

} // namespace karumenio::points

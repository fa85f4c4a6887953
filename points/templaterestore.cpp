#include "templaterestore.h"

#include "pointtable.h"
#include "spreadsheet/worksheet.h"

#include <algorithm>

namespace karumenio::points {

namespace {

// The template's content and the points' data lie in columns A to I; nothing a user can type or
// paste reaches further, since only visible columns take input.
constexpr int kTemplateColumns = kLastDataColumn;

spreadsheet::EditRecord restore(spreadsheet::Worksheet& sheet,
                                const spreadsheet::Worksheet& original, int top, int left,
                                int bottom, int right, bool visibleDataOnly) {
    top = std::max(top, visibleDataOnly ? kFirstDataRow : 1);
    left = std::max(left, 1);
    right = std::min(right, kTemplateColumns);
    bottom = std::min(bottom, std::max(sheet.lastUsedRow(), original.lastUsedRow()));
    spreadsheet::EditRecord changes;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (visibleDataOnly && sheet.layout().isColumnHidden(column)) {
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
    return restore(sheet, original, 1, 1, spreadsheet::Worksheet::kRowCount, kTemplateColumns,
                   false);
}

} // namespace karumenio::points

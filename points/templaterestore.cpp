#include "templaterestore.h"

#include "pointtable.h"
#include "worksheet.h"

#include <algorithm>

namespace karumenio::points {

namespace {

// The template's content lies in columns A to G; nothing a user can type or paste reaches
// further, since only visible columns take input.
constexpr int kTemplateColumns = 7;

EditRecord restore(Worksheet& sheet, const Worksheet& original, int top, int left, int bottom,
                   int right, bool visibleDataOnly) {
    top = std::max(top, visibleDataOnly ? kFirstDataRow : 1);
    left = std::max(left, 1);
    right = std::min(right, kTemplateColumns);
    bottom = std::min(bottom, std::max(sheet.lastUsedRow(), original.lastUsedRow()));
    EditRecord changes;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (visibleDataOnly && sheet.layout().isColumnHidden(column)) {
                continue;
            }
            CellContent wanted = original.content(row, column);
            if (sheet.content(row, column) != wanted) {
                changes.push_back(CellChange{row, column, {}, std::move(wanted)});
            }
        }
    }
    return sheet.apply(std::move(changes));
}

} // namespace

EditRecord restoreTemplateCells(Worksheet& sheet, const Worksheet& original, int top, int left,
                                int bottom, int right) {
    return restore(sheet, original, top, left, bottom, right, true);
}

EditRecord restoreWholeTemplate(Worksheet& sheet, const Worksheet& original) {
    return restore(sheet, original, 1, 1, Worksheet::kRowCount, kTemplateColumns, false);
}

} // namespace karumenio::points

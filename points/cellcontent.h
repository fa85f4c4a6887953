#pragma once

#include "cellvalue.h"

#include <string>
#include <vector>

namespace karumenio::points {

// What a user put into a cell: a constant, or a formula whose text starts with "=".
struct CellContent {
    CellValue constant;
    // Non-empty for a formula cell; the constant is then Empty.
    std::string formula;

    bool isFormula() const { return !formula.empty(); }
    bool isEmpty() const { return formula.empty() && constant.isEmpty(); }

    static CellContent value(CellValue v) { return CellContent{std::move(v), {}}; }
    static CellContent formulaText(std::string text) {
        return CellContent{CellValue(), std::move(text)};
    }

    friend bool operator==(const CellContent&, const CellContent&) = default;
};

// One cell of one user action, as it was and as it became.
struct CellChange {
    int row = 0;
    int column = 0;
    CellContent before;
    CellContent after;

    friend bool operator==(const CellChange&, const CellChange&) = default;
};

// One user action: undo writes the befores back, redo the afters.
using EditRecord = std::vector<CellChange>;

} // namespace karumenio::points

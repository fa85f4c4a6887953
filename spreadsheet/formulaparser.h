#pragma once

#include "formulanode.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace karumenio::spreadsheet {

// Where a cell name stands in the formula text (counting the leading "="), and the cell.
struct ReferenceToken {
    std::size_t begin = 0;
    std::size_t length = 0;
    CellReference reference;
};

struct ParsedFormula {
    // Absent when the text is not a formula the language can read.
    std::optional<FormulaNode> root;
    // Every cell name of a readable formula, in the order written.
    std::vector<ReferenceToken> references;
};

// Parses formula text such as "=IF(C7=\"\",\"\",G6)" (the leading "=" is required) written
// into the cell at row and column, which relative references count from.
ParsedFormula parseFormula(std::string_view text, int row, int column);

// Reads a cell name such as "G6" or "$G$6" (letters not case-sensitive) as (row, column).
std::optional<std::pair<int, int>> parseCellName(std::string_view name);

// Reads a cell name with its "$" marks; the row and column are the cell's own.
std::optional<CellReference> parseCellReference(std::string_view name);

} // namespace karumenio::spreadsheet

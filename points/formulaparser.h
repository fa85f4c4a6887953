#pragma once

#include "formulanode.h"

#include <optional>
#include <string_view>
#include <utility>

namespace karumenio::points {

// Parses formula text such as "=IF(C7=\"\",\"\",G6)" (the leading "=" is required).
// Returns nothing when the text is not a formula the language can read.
std::optional<FormulaNode> parseFormula(std::string_view text);

// Reads a cell name such as "G6" or "$G$6" (letters not case-sensitive) as (row, column).
std::optional<std::pair<int, int>> parseCellName(std::string_view name);

} // namespace karumenio::points

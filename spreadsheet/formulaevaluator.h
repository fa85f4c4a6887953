#pragma once

#include "cellvalue.h"
#include "formulanode.h"

#include <functional>
#include <string_view>

namespace karumenio::spreadsheet {

// Error codes a formula can yield.
inline constexpr std::string_view kErrorValue = "#VALUE!";
inline constexpr std::string_view kErrorDivideByZero = "#DIV/0!";
inline constexpr std::string_view kErrorName = "#NAME?";
inline constexpr std::string_view kErrorNumber = "#NUM!";
// Also the result of a formula that depends on itself.
inline constexpr std::string_view kErrorReference = "#REF!";

// Where a formula finds the cells it refers to.
class FormulaContext {
  public:
    // Returns the value of the cell at the 1-based row and column.
    virtual const CellValue& cellValue(int row, int column) = 0;
    // Calls visit for every cell of the range that is not Empty, in no particular order.
    virtual void visitRange(int top, int left, int bottom, int right,
                            const std::function<void(const CellValue&)>& visit) = 0;

  protected:
    ~FormulaContext() = default;
};

// Evaluates a parsed formula held by the cell at row and column the way a spreadsheet does
// and returns what its cell shows: a reference to an empty cell gives 0, failures give error
// values such as "#VALUE!".
CellValue evaluateFormula(const FormulaNode& root, FormulaContext& context, int row, int column);

} // namespace karumenio::spreadsheet

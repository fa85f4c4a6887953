#pragma once

#include "cellvalue.h"

#include <string>
#include <vector>

namespace karumenio::spreadsheet {

// Functions the formula language knows; Unknown evaluates to #NAME?.
enum class FormulaFunction { Unknown, If, Max, Min, Sum, Average, Count, Abs, Round };

enum class FormulaOperator {
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Concatenate,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessOrEqual,
    GreaterOrEqual,
    Negate,
    Plus,
};

// A cell named in a formula. A "$" fixes its row or column; the rest count from the cell
// that holds the formula, so that one parsed formula serves every copy of it down a column.
struct CellReference {
    // The row itself when fixed, else the distance from the formula's row; so for columns.
    int row = 0;
    int column = 0;
    bool rowFixed = false;
    bool columnFixed = false;

    int rowFrom(int formulaRow) const { return rowFixed ? row : formulaRow + row; }
    int columnFrom(int formulaColumn) const {
        return columnFixed ? column : formulaColumn + column;
    }
};

// A node of a parsed formula. A reference names its cell in first; a range also names the
// opposite corner in last, in the order written.
struct FormulaNode {
    enum class Kind { Number, Text, Boolean, Reference, Range, Operator, Call };

    Kind kind = Kind::Number;
    double number = 0.0;
    // Text literal, or the function name as written for a call.
    std::string text;
    // A text literal as the value it stands for, made once rather than at every evaluation.
    CellValue literal;
    bool boolean = false;
    CellReference first;
    CellReference last;
    FormulaOperator op = FormulaOperator::Add;
    FormulaFunction function = FormulaFunction::Unknown;
    std::vector<FormulaNode> children;
};

} // namespace karumenio::spreadsheet

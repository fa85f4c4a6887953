#pragma once

#include <string>
#include <vector>

namespace karumenio::points {

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

// A node of a parsed formula. References hold 1-based rows and columns; a range also holds
// its bottom-right corner.
struct FormulaNode {
    enum class Kind { Number, Text, Boolean, Reference, Range, Operator, Call };

    Kind kind = Kind::Number;
    double number = 0.0;
    // Text literal, or the function name as written for a call.
    std::string text;
    bool boolean = false;
    int row = 0;
    int column = 0;
    int lastRow = 0;
    int lastColumn = 0;
    FormulaOperator op = FormulaOperator::Add;
    FormulaFunction function = FormulaFunction::Unknown;
    std::vector<FormulaNode> children;
};

} // namespace karumenio::points

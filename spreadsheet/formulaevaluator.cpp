#include "formulaevaluator.h"

#include "ascii.h"
#include "numberformat.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace karumenio::spreadsheet {

namespace {

CellValue errorValue(std::string_view code) {
    return CellValue::error(std::string(code));
}

// Text compares without regard to ASCII case, as spreadsheets compare it.
int compareText(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(ascii::toLower(a[i]));
        const auto cb = static_cast<unsigned char>(ascii::toLower(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool equalsIgnoringCase(const std::string& a, std::string_view b) {
    return compareText(a, std::string(b)) == 0;
}

// A number, or the error that stopped the conversion.
struct Number {
    double value = 0.0;
    std::optional<CellValue> error;
};

Number toNumber(const CellValue& v) {
    switch (v.kind()) {
    case CellValue::Kind::Empty:
        return {};
    case CellValue::Kind::Number:
        return {v.numberValue(), {}};
    case CellValue::Kind::Boolean:
        return {v.booleanValue() ? 1.0 : 0.0, {}};
    case CellValue::Kind::Text:
        if (auto n = readNumber(v.textValue())) {
            return {*n, {}};
        }
        return {0.0, errorValue(kErrorValue)};
    case CellValue::Kind::Error:
        return {0.0, v};
    }
    return {};
}

CellValue numberResult(double value) {
    if (!std::isfinite(value)) {
        return errorValue(kErrorNumber);
    }
    return CellValue::number(value);
}

std::string toText(const CellValue& v) {
    switch (v.kind()) {
    case CellValue::Kind::Number:
        return formatNumber(v.numberValue(), true);
    case CellValue::Kind::Boolean:
        return v.booleanValue() ? "TRUE" : "FALSE";
    case CellValue::Kind::Text:
        return v.textValue();
    default:
        return {};
    }
}

// Numbers sort before text and text before booleans; an empty cell takes the kind of the
// other side (0, "" or FALSE).
int compareValues(const CellValue& a, const CellValue& b) {
    auto rank = [](const CellValue& v) {
        switch (v.kind()) {
        case CellValue::Kind::Number:
            return 0;
        case CellValue::Kind::Text:
            return 1;
        default:
            return 2;
        }
    };
    if (a.isEmpty() && b.isEmpty()) {
        return 0;
    }
    if (a.isEmpty() || b.isEmpty()) {
        // Compared in place: the IF down the radius column meets this for every row.
        const CellValue& other = a.isEmpty() ? b : a;
        const int sign = a.isEmpty() ? -1 : 1;
        switch (other.kind()) {
        case CellValue::Kind::Number:
            return other.numberValue() < 0.0 ? -sign : (other.numberValue() > 0.0 ? sign : 0);
        case CellValue::Kind::Text:
            return other.textValue().empty() ? 0 : sign;
        default:
            return other.booleanValue() ? sign : 0;
        }
    }
    if (rank(a) != rank(b)) {
        return rank(a) < rank(b) ? -1 : 1;
    }
    switch (a.kind()) {
    case CellValue::Kind::Number:
        return a.numberValue() < b.numberValue() ? -1 : (a.numberValue() > b.numberValue() ? 1 : 0);
    case CellValue::Kind::Text:
        return compareText(a.textValue(), b.textValue());
    default:
        return static_cast<int>(a.booleanValue()) - static_cast<int>(b.booleanValue());
    }
}

class Evaluator {
  public:
    Evaluator(FormulaContext& context, int row, int column)
        : m_context(context), m_row(row), m_column(column) {}

    CellValue evaluate(const FormulaNode& node) {
        switch (node.kind) {
        case FormulaNode::Kind::Number:
            // A literal beyond the range of a double ("1e309") is an overflow, not a number.
            return numberResult(node.number);
        case FormulaNode::Kind::Text:
            return node.literal;
        case FormulaNode::Kind::Boolean:
            return CellValue::boolean(node.boolean);
        case FormulaNode::Kind::Reference:
            return m_context.cellValue(node.first.rowFrom(m_row), node.first.columnFrom(m_column));
        case FormulaNode::Kind::Range:
            // A range stands for one value only as a function argument.
            return errorValue(kErrorValue);
        case FormulaNode::Kind::Operator:
            return node.children.size() == 1 ? unary(node) : binary(node);
        case FormulaNode::Kind::Call:
            return call(node);
        }
        return errorValue(kErrorValue);
    }

  private:
    // A cell or a text literal taken where it is; anything else evaluated into storage.
    const CellValue& operand(const FormulaNode& node, CellValue& storage) {
        switch (node.kind) {
        case FormulaNode::Kind::Reference:
            return m_context.cellValue(node.first.rowFrom(m_row), node.first.columnFrom(m_column));
        case FormulaNode::Kind::Text:
            return node.literal;
        default:
            storage = evaluate(node);
            return storage;
        }
    }

    CellValue unary(const FormulaNode& node) {
        const Number n = toNumber(evaluate(node.children[0]));
        if (n.error) {
            return *n.error;
        }
        return CellValue::number(node.op == FormulaOperator::Negate ? -n.value : n.value);
    }

    CellValue binary(const FormulaNode& node) {
        CellValue leftStorage;
        CellValue rightStorage;
        const CellValue& left = operand(node.children[0], leftStorage);
        const CellValue& right = operand(node.children[1], rightStorage);
        switch (node.op) {
        case FormulaOperator::Concatenate:
            if (left.isError()) {
                return left;
            }
            if (right.isError()) {
                return right;
            }
            return CellValue::text(toText(left) + toText(right));
        case FormulaOperator::Equal:
        case FormulaOperator::NotEqual:
        case FormulaOperator::Less:
        case FormulaOperator::Greater:
        case FormulaOperator::LessOrEqual:
        case FormulaOperator::GreaterOrEqual:
            return comparison(node.op, left, right);
        default:
            break;
        }
        const Number a = toNumber(left);
        if (a.error) {
            return *a.error;
        }
        const Number b = toNumber(right);
        if (b.error) {
            return *b.error;
        }
        switch (node.op) {
        case FormulaOperator::Add:
            return numberResult(a.value + b.value);
        case FormulaOperator::Subtract:
            return numberResult(a.value - b.value);
        case FormulaOperator::Multiply:
            return numberResult(a.value * b.value);
        case FormulaOperator::Divide:
            if (b.value == 0.0) {
                return errorValue(kErrorDivideByZero);
            }
            return numberResult(a.value / b.value);
        case FormulaOperator::Power:
            if (a.value == 0.0 && b.value == 0.0) {
                return errorValue(kErrorNumber);
            }
            return numberResult(std::pow(a.value, b.value));
        default:
            return errorValue(kErrorValue);
        }
    }

    static CellValue comparison(FormulaOperator op, const CellValue& left, const CellValue& right) {
        if (left.isError()) {
            return left;
        }
        if (right.isError()) {
            return right;
        }
        const int order = compareValues(left, right);
        switch (op) {
        case FormulaOperator::Equal:
            return CellValue::boolean(order == 0);
        case FormulaOperator::NotEqual:
            return CellValue::boolean(order != 0);
        case FormulaOperator::Less:
            return CellValue::boolean(order < 0);
        case FormulaOperator::Greater:
            return CellValue::boolean(order > 0);
        case FormulaOperator::LessOrEqual:
            return CellValue::boolean(order <= 0);
        default:
            return CellValue::boolean(order >= 0);
        }
    }

    CellValue call(const FormulaNode& node) {
        const auto& args = node.children;
        switch (node.function) {
        case FormulaFunction::Unknown:
            return errorValue(kErrorName);
        case FormulaFunction::If:
            return conditional(node);
        case FormulaFunction::Max:
        case FormulaFunction::Min:
        case FormulaFunction::Sum:
        case FormulaFunction::Average:
        case FormulaFunction::Count:
            return aggregate(node);
        case FormulaFunction::Abs: {
            if (args.size() != 1) {
                return errorValue(kErrorValue);
            }
            const Number n = toNumber(evaluate(args[0]));
            return n.error ? *n.error : CellValue::number(std::fabs(n.value));
        }
        case FormulaFunction::Round: {
            if (args.size() != 2) {
                return errorValue(kErrorValue);
            }
            const Number n = toNumber(evaluate(args[0]));
            if (n.error) {
                return *n.error;
            }
            const Number digits = toNumber(evaluate(args[1]));
            if (digits.error) {
                return *digits.error;
            }
            const double scale = std::pow(10.0, std::trunc(digits.value));
            // Halves round away from zero, as spreadsheets round.
            return numberResult(std::round(n.value * scale) / scale);
        }
        }
        return errorValue(kErrorName);
    }

    CellValue conditional(const FormulaNode& node) {
        const auto& args = node.children;
        if (args.size() < 2 || args.size() > 3) {
            return errorValue(kErrorValue);
        }
        const CellValue condition = evaluate(args[0]);
        bool chosen = false;
        switch (condition.kind()) {
        case CellValue::Kind::Error:
            return condition;
        case CellValue::Kind::Empty:
            break;
        case CellValue::Kind::Number:
            chosen = condition.numberValue() != 0.0;
            break;
        case CellValue::Kind::Boolean:
            chosen = condition.booleanValue();
            break;
        case CellValue::Kind::Text:
            if (equalsIgnoringCase(condition.textValue(), "TRUE")) {
                chosen = true;
            } else if (!equalsIgnoringCase(condition.textValue(), "FALSE")) {
                return errorValue(kErrorValue);
            }
            break;
        }
        if (chosen) {
            return evaluate(args[1]);
        }
        return args.size() == 3 ? evaluate(args[2]) : CellValue::boolean(false);
    }

    // Cells reached through references take part only when they hold numbers; values given
    // directly must read as numbers.
    CellValue aggregate(const FormulaNode& node) {
        double sum = 0.0;
        double best = 0.0;
        int count = 0;
        std::optional<CellValue> error;
        const FormulaFunction function = node.function;
        auto add = [&](double v) {
            if (count == 0 || (function == FormulaFunction::Max && v > best) ||
                (function == FormulaFunction::Min && v < best)) {
                best = v;
            }
            sum += v;
            ++count;
        };
        for (const FormulaNode& arg : node.children) {
            if (arg.kind == FormulaNode::Kind::Range || arg.kind == FormulaNode::Kind::Reference) {
                const int firstRow = arg.first.rowFrom(m_row);
                const int lastRow = arg.last.rowFrom(m_row);
                const int firstColumn = arg.first.columnFrom(m_column);
                const int lastColumn = arg.last.columnFrom(m_column);
                m_context.visitRange(std::min(firstRow, lastRow), std::min(firstColumn, lastColumn),
                                     std::max(firstRow, lastRow), std::max(firstColumn, lastColumn),
                                     [&](const CellValue& v) {
                                         if (v.isNumber()) {
                                             add(v.numberValue());
                                         } else if (v.isError() && !error) {
                                             error = v;
                                         }
                                     });
                continue;
            }
            const CellValue v = evaluate(arg);
            const Number n = toNumber(v);
            if (n.error) {
                if (function == FormulaFunction::Count) {
                    continue;
                }
                if (!error) {
                    error = *n.error;
                }
                continue;
            }
            add(n.value);
        }
        if (error && function != FormulaFunction::Count) {
            return *error;
        }
        switch (function) {
        case FormulaFunction::Max:
        case FormulaFunction::Min:
            return CellValue::number(count == 0 ? 0.0 : best);
        case FormulaFunction::Sum:
            return numberResult(sum);
        case FormulaFunction::Average:
            if (count == 0) {
                return errorValue(kErrorDivideByZero);
            }
            return numberResult(sum / count);
        default:
            return CellValue::number(count);
        }
    }

    FormulaContext& m_context;
    int m_row;
    int m_column;
};

} // namespace

CellValue evaluateFormula(const FormulaNode& root, FormulaContext& context, int row, int column) {
    CellValue result = Evaluator(context, row, column).evaluate(root);
    if (result.isEmpty()) {
        return CellValue::number(0.0);
    }
    return result;
}

} // namespace karumenio::spreadsheet

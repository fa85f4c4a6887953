#include "formulaparser.h"

#include "ascii.h"
#include "decimalscan.h"
#include "worksheet.h"

#include "numeric/conversion.h"

#include <algorithm>
#include <limits>
#include <string>

namespace karumenio::spreadsheet {

namespace {

// Deeper nesting than this is refused rather than risking the stack.
constexpr int kMaxDepth = 100;
// A chain of operators ("=1+1+…+1") nests as deep as it is long when evaluated, so the
// operators of one formula are bounded too.
constexpr int kMaxOperators = 1000;

using ascii::isDigit;
using ascii::isLetter;
using ascii::toUpper;

// The decimal exponent of the first significant digit of an unsigned literal with at least
// one digit that is not 0 ("0.05e3" gives 1).
long leadingExponent(std::string_view literal) {
    long integerDigits = 0;
    long firstSignificant = -1;
    long digits = 0;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < literal.size() && literal[i] != 'e' && literal[i] != 'E'; ++i) {
        if (literal[i] == '.') {
            afterPoint = true;
            continue;
        }
        if (firstSignificant < 0 && literal[i] != '0') {
            firstSignificant = digits;
        }
        ++digits;
        if (!afterPoint) {
            ++integerDigits;
        }
    }
    long exponent = 0;
    if (i < literal.size()) {
        const bool negative = literal[++i] == '-';
        if (literal[i] == '-' || literal[i] == '+') {
            ++i;
        }
        // Far beyond the double range already; the clamp only keeps the sum from overflowing.
        for (; i < literal.size() && exponent < 100000; ++i) {
            exponent = exponent * 10 + (literal[i] - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    return integerDigits - 1 - firstSignificant + exponent;
}

// A literal beyond the range of a double reads as infinity, one too small as 0.
double literalValue(std::string_view literal) {
    double value = 0.0;
    const auto result = numeric::fromChars(literal.data(), literal.data() + literal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return leadingExponent(literal) >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

FormulaFunction functionNamed(const std::string& name) {
    static const std::pair<const char*, FormulaFunction> kFunctions[] = {
        {"IF", FormulaFunction::If},           {"MAX", FormulaFunction::Max},
        {"MIN", FormulaFunction::Min},         {"SUM", FormulaFunction::Sum},
        {"AVERAGE", FormulaFunction::Average}, {"COUNT", FormulaFunction::Count},
        {"ABS", FormulaFunction::Abs},         {"ROUND", FormulaFunction::Round},
    };
    for (const auto& [text, function] : kFunctions) {
        if (name == text) {
            return function;
        }
    }
    return FormulaFunction::Unknown;
}

class Parser {
  public:
    // The text without its "="; row and column are those of the formula's cell.
    Parser(std::string_view text, int row, int column)
        : m_text(text), m_row(row), m_column(column) {}

    ParsedFormula parse() {
        ParsedFormula parsed;
        parsed.root = expression();
        skipBlanks();
        if (!parsed.root || m_pos != m_text.size()) {
            return {};
        }
        parsed.references = std::move(m_references);
        return parsed;
    }

  private:
    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool accept(std::string_view token) {
        skipBlanks();
        if (m_text.substr(m_pos, token.size()) == token) {
            m_pos += token.size();
            return true;
        }
        return false;
    }

    static FormulaNode binary(FormulaOperator op, FormulaNode left, FormulaNode right) {
        FormulaNode node;
        node.kind = FormulaNode::Kind::Operator;
        node.op = op;
        node.children.push_back(std::move(left));
        node.children.push_back(std::move(right));
        return node;
    }

    std::optional<FormulaNode> expression() {
        if (++m_depth > kMaxDepth) {
            return std::nullopt;
        }
        auto result = comparison();
        --m_depth;
        return result;
    }

    std::optional<FormulaNode> comparison() {
        auto left = concatenation();
        while (left) {
            FormulaOperator op;
            // Two-character operators first, so that "<=" is not read as "<".
            if (accept("<>")) {
                op = FormulaOperator::NotEqual;
            } else if (accept("<=")) {
                op = FormulaOperator::LessOrEqual;
            } else if (accept(">=")) {
                op = FormulaOperator::GreaterOrEqual;
            } else if (accept("=")) {
                op = FormulaOperator::Equal;
            } else if (accept("<")) {
                op = FormulaOperator::Less;
            } else if (accept(">")) {
                op = FormulaOperator::Greater;
            } else {
                break;
            }
            auto right = concatenation();
            if (!right) {
                return std::nullopt;
            }
            if (++m_operators > kMaxOperators) {
                return std::nullopt;
            }
            left = binary(op, std::move(*left), std::move(*right));
        }
        return left;
    }

    std::optional<FormulaNode> concatenation() {
        auto left = additive();
        while (left && accept("&")) {
            auto right = additive();
            if (!right) {
                return std::nullopt;
            }
            if (++m_operators > kMaxOperators) {
                return std::nullopt;
            }
            left = binary(FormulaOperator::Concatenate, std::move(*left), std::move(*right));
        }
        return left;
    }

    std::optional<FormulaNode> additive() {
        auto left = multiplicative();
        while (left) {
            FormulaOperator op;
            if (accept("+")) {
                op = FormulaOperator::Add;
            } else if (accept("-")) {
                op = FormulaOperator::Subtract;
            } else {
                break;
            }
            auto right = multiplicative();
            if (!right) {
                return std::nullopt;
            }
            if (++m_operators > kMaxOperators) {
                return std::nullopt;
            }
            left = binary(op, std::move(*left), std::move(*right));
        }
        return left;
    }

    std::optional<FormulaNode> multiplicative() {
        auto left = power();
        while (left) {
            FormulaOperator op;
            if (accept("*")) {
                op = FormulaOperator::Multiply;
            } else if (accept("/")) {
                op = FormulaOperator::Divide;
            } else {
                break;
            }
            auto right = power();
            if (!right) {
                return std::nullopt;
            }
            if (++m_operators > kMaxOperators) {
                return std::nullopt;
            }
            left = binary(op, std::move(*left), std::move(*right));
        }
        return left;
    }

    std::optional<FormulaNode> power() {
        auto left = unary();
        while (left && accept("^")) {
            auto right = unary();
            if (!right) {
                return std::nullopt;
            }
            if (++m_operators > kMaxOperators) {
                return std::nullopt;
            }
            left = binary(FormulaOperator::Power, std::move(*left), std::move(*right));
        }
        return left;
    }

    // A sign binds tighter than "^", as spreadsheets have it: -2^2 is 4.
    std::optional<FormulaNode> unary() {
        FormulaOperator op;
        if (accept("-")) {
            op = FormulaOperator::Negate;
        } else if (accept("+")) {
            op = FormulaOperator::Plus;
        } else {
            return primary();
        }
        if (++m_depth > kMaxDepth) {
            return std::nullopt;
        }
        auto operand = unary();
        --m_depth;
        if (!operand) {
            return std::nullopt;
        }
        FormulaNode node;
        node.kind = FormulaNode::Kind::Operator;
        node.op = op;
        node.children.push_back(std::move(*operand));
        return node;
    }

    std::optional<FormulaNode> primary() {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            return std::nullopt;
        }
        const char c = m_text[m_pos];
        if (c == '(') {
            ++m_pos;
            auto inner = expression();
            if (!inner || !accept(")")) {
                return std::nullopt;
            }
            return inner;
        }
        if (c == '"') {
            return stringLiteral();
        }
        if (isDigit(c) || c == '.') {
            return numberLiteral();
        }
        if (isLetter(c) || c == '$') {
            return name();
        }
        return std::nullopt;
    }

    std::optional<FormulaNode> stringLiteral() {
        ++m_pos;
        FormulaNode node;
        node.kind = FormulaNode::Kind::Text;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    node.text.push_back('"');
                    ++m_pos;
                    continue;
                }
                node.literal = CellValue::text(node.text);
                return node;
            }
            node.text.push_back(c);
        }
        return std::nullopt;
    }

    std::optional<FormulaNode> numberLiteral() {
        const std::size_t start = m_pos;
        const DecimalScan scan = scanDecimal(m_text, m_pos);
        if (scan.digits == 0) {
            return std::nullopt;
        }
        m_pos = scan.end;
        FormulaNode node;
        node.kind = FormulaNode::Kind::Number;
        node.number = literalValue(m_text.substr(start, m_pos - start));
        return node;
    }

    std::optional<FormulaNode> name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               (isLetter(m_text[m_pos]) || isDigit(m_text[m_pos]) || m_text[m_pos] == '$' ||
                m_text[m_pos] == '_' || m_text[m_pos] == '.')) {
            ++m_pos;
        }
        const std::string_view word = m_text.substr(start, m_pos - start);
        std::string upperWord;
        for (char c : word) {
            upperWord.push_back(toUpper(c));
        }
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == '(') {
            ++m_pos;
            return call(upperWord);
        }
        if (upperWord == "TRUE" || upperWord == "FALSE") {
            FormulaNode node;
            node.kind = FormulaNode::Kind::Boolean;
            node.boolean = upperWord == "TRUE";
            return node;
        }
        const auto first = reference(start, word);
        if (!first) {
            return std::nullopt;
        }
        FormulaNode node;
        node.kind = FormulaNode::Kind::Reference;
        node.first = node.last = *first;
        if (accept(":")) {
            skipBlanks();
            const std::size_t secondStart = m_pos;
            while (m_pos < m_text.size() &&
                   (isLetter(m_text[m_pos]) || isDigit(m_text[m_pos]) || m_text[m_pos] == '$')) {
                ++m_pos;
            }
            const auto second =
                reference(secondStart, m_text.substr(secondStart, m_pos - secondStart));
            if (!second) {
                return std::nullopt;
            }
            node.kind = FormulaNode::Kind::Range;
            node.last = *second;
        }
        return node;
    }

    // A cell name at start, made relative to the formula's cell and noted as a token.
    std::optional<CellReference> reference(std::size_t start, std::string_view name) {
        auto cell = parseCellReference(name);
        if (!cell) {
            return std::nullopt;
        }
        // The token keeps the cell's own row and column; the node counts from the formula.
        m_references.push_back({start + 1, name.size(), *cell});
        if (!cell->rowFixed) {
            cell->row -= m_row;
        }
        if (!cell->columnFixed) {
            cell->column -= m_column;
        }
        return cell;
    }

    std::optional<FormulaNode> call(const std::string& functionName) {
        FormulaNode node;
        node.kind = FormulaNode::Kind::Call;
        node.text = functionName;
        node.function = functionNamed(functionName);
        if (accept(")")) {
            return node;
        }
        do {
            // An argument left out, as in IF(A1,,1), counts as 0.
            skipBlanks();
            if (m_pos < m_text.size() && (m_text[m_pos] == ',' || m_text[m_pos] == ')')) {
                FormulaNode missing;
                missing.kind = FormulaNode::Kind::Number;
                node.children.push_back(std::move(missing));
                continue;
            }
            auto argument = expression();
            if (!argument) {
                return std::nullopt;
            }
            node.children.push_back(std::move(*argument));
        } while (accept(","));
        if (!accept(")")) {
            return std::nullopt;
        }
        return node;
    }

    std::string_view m_text;
    int m_row;
    int m_column;
    std::size_t m_pos = 0;
    int m_depth = 0;
    int m_operators = 0;
    std::vector<ReferenceToken> m_references;
};

} // namespace

ParsedFormula parseFormula(std::string_view text, int row, int column) {
    if (text.empty() || text.front() != '=') {
        return {};
    }
    return Parser(text.substr(1), row, column).parse();
}

std::optional<std::pair<int, int>> parseCellName(std::string_view name) {
    const auto cell = parseCellReference(name);
    if (!cell) {
        return std::nullopt;
    }
    return std::pair<int, int>(cell->row, cell->column);
}

std::optional<CellReference> parseCellReference(std::string_view name) {
    CellReference cell;
    std::size_t i = 0;
    if (i < name.size() && name[i] == '$') {
        cell.columnFixed = true;
        ++i;
    }
    int column = 0;
    std::size_t letters = 0;
    while (i < name.size() && isLetter(name[i])) {
        column = column * 26 + (toUpper(name[i]) - 'A' + 1);
        ++i;
        if (++letters > 3) {
            return std::nullopt;
        }
    }
    if (letters == 0 || column > Worksheet::kColumnCount) {
        return std::nullopt;
    }
    if (i < name.size() && name[i] == '$') {
        cell.rowFixed = true;
        ++i;
    }
    long row = 0;
    std::size_t digits = 0;
    while (i < name.size() && isDigit(name[i])) {
        row = row * 10 + (name[i] - '0');
        ++i;
        if (++digits > 6) {
            return std::nullopt;
        }
    }
    if (digits == 0 || i != name.size() || row < 1 || row > Worksheet::kRowCount) {
        return std::nullopt;
    }
    cell.row = static_cast<int>(row);
    cell.column = column;
    return cell;
}

} // namespace karumenio::spreadsheet

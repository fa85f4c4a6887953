#include "formulaparser.h"

#include "decimalscan.h"
#include "worksheet.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace karumenio::points {

namespace {

// Deeper nesting than this is refused rather than risking the stack.
constexpr int kMaxDepth = 100;

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
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
    explicit Parser(std::string_view text) : m_text(text) {}

    std::optional<FormulaNode> parse() {
        std::optional<FormulaNode> root = expression();
        skipBlanks();
        if (!root || m_pos != m_text.size()) {
            return std::nullopt;
        }
        return root;
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
        const std::string literal(m_text.substr(start, m_pos - start));
        FormulaNode node;
        node.kind = FormulaNode::Kind::Number;
        node.number = std::strtod(literal.c_str(), nullptr);
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
            upperWord.push_back(upper(c));
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
        const auto first = parseCellName(word);
        if (!first) {
            return std::nullopt;
        }
        FormulaNode node;
        node.kind = FormulaNode::Kind::Reference;
        node.row = node.lastRow = first->first;
        node.column = node.lastColumn = first->second;
        if (accept(":")) {
            skipBlanks();
            const std::size_t secondStart = m_pos;
            while (m_pos < m_text.size() &&
                   (isLetter(m_text[m_pos]) || isDigit(m_text[m_pos]) || m_text[m_pos] == '$')) {
                ++m_pos;
            }
            const auto second = parseCellName(m_text.substr(secondStart, m_pos - secondStart));
            if (!second) {
                return std::nullopt;
            }
            node.kind = FormulaNode::Kind::Range;
            node.row = std::min(first->first, second->first);
            node.lastRow = std::max(first->first, second->first);
            node.column = std::min(first->second, second->second);
            node.lastColumn = std::max(first->second, second->second);
        }
        return node;
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
    std::size_t m_pos = 0;
    int m_depth = 0;
};

} // namespace

std::optional<FormulaNode> parseFormula(std::string_view text) {
    if (text.empty() || text.front() != '=') {
        return std::nullopt;
    }
    return Parser(text.substr(1)).parse();
}

std::optional<std::pair<int, int>> parseCellName(std::string_view name) {
    std::size_t i = 0;
    if (i < name.size() && name[i] == '$') {
        ++i;
    }
    int column = 0;
    std::size_t letters = 0;
    while (i < name.size() && isLetter(name[i])) {
        column = column * 26 + (upper(name[i]) - 'A' + 1);
        ++i;
        if (++letters > 3) {
            return std::nullopt;
        }
    }
    if (letters == 0 || column > Worksheet::kColumnCount) {
        return std::nullopt;
    }
    if (i < name.size() && name[i] == '$') {
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
    return std::pair<int, int>(static_cast<int>(row), column);
}

} // namespace karumenio::points

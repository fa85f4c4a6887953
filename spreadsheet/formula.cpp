#include "formula.h"

#include "worksheet.h"

#include "numeric/conversion.h"

namespace karumenio::spreadsheet {

namespace {

// "$" and three letters, "$" and six digits.
constexpr std::size_t kLongestName = 12;

// Writes the name of the token's cell moved by rows and columns, "$" marks kept; returns its
// length, or 0 when the cell would leave the grid.
std::size_t movedName(char* out, const ReferenceToken& token, int rows, int columns) {
    const CellReference& cell = token.reference;
    const int row = cell.rowFixed ? cell.row : cell.row + rows;
    const int column = cell.columnFixed ? cell.column : cell.column + columns;
    if (row < 1 || row > Worksheet::kRowCount || column < 1 || column > Worksheet::kColumnCount) {
        return 0;
    }
    char* p = out;
    if (cell.columnFixed) {
        *p++ = '$';
    }
    char letters[3];
    int count = 0;
    for (int c = column; c > 0; c = (c - 1) / 26) {
        letters[count++] = static_cast<char>('A' + (c - 1) % 26);
    }
    while (count > 0) {
        *p++ = letters[--count];
    }
    if (cell.rowFixed) {
        *p++ = '$';
    }
    p = numeric::toChars(p, out + kLongestName, row).ptr;
    return static_cast<std::size_t>(p - out);
}

} // namespace

Formula::Formula(std::string text, int row, int column)
    : m_text(std::move(text)), m_row(row), m_column(column),
      m_parsed(parseFormula(m_text, row, column)) {}

std::string Formula::textAt(int row, int column) const {
    if (row == m_row && column == m_column) {
        return m_text;
    }
    std::string out;
    out.reserve(m_text.size() + 4);
    std::size_t from = 0;
    char name[kLongestName];
    for (const ReferenceToken& token : m_parsed.references) {
        out.append(m_text, from, token.begin - from);
        out.append(name, movedName(name, token, row - m_row, column - m_column));
        from = token.begin + token.length;
    }
    out.append(m_text, from, std::string::npos);
    return out;
}

bool Formula::fitsAt(int row, int column) const {
    char name[kLongestName];
    for (const ReferenceToken& token : m_parsed.references) {
        if (movedName(name, token, row - m_row, column - m_column) == 0) {
            return false;
        }
    }
    return true;
}

bool Formula::readsAs(int row, int column, std::string_view text) const {
    const std::string_view own = m_text;
    if (row == m_row && column == m_column) {
        return text == own;
    }
    std::size_t from = 0;
    std::size_t at = 0;
    char name[kLongestName];
    for (const ReferenceToken& token : m_parsed.references) {
        const std::size_t literal = token.begin - from;
        if (text.substr(at, literal) != own.substr(from, literal)) {
            return false;
        }
        at += literal;
        const std::size_t length = movedName(name, token, row - m_row, column - m_column);
        if (length == 0 || text.substr(at, length) != std::string_view(name, length)) {
            return false;
        }
        at += length;
        from = token.begin + token.length;
    }
    return text.substr(at) == own.substr(from);
}

} // namespace karumenio::spreadsheet

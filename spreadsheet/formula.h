#pragma once

#include "formulaparser.h"

#include <string>
#include <string_view>

namespace karumenio::spreadsheet {

// Formula text written into a cell, parsed once. Copied to another cell, a formula reads
// with its relative references moved along ("=G6*2" in G7 reads "=G7*2" in G8), so one
// Formula can serve a whole column of such copies.
class Formula {
  public:
    // The text as written into the cell at row and column.
    Formula(std::string text, int row, int column);

    // The text as it reads in the cell at row and column, which must be one that readsAs()
    // accepted, or the formula's own.
    std::string textAt(int row, int column) const;
    // Whether the formula copied to row and column reads exactly as text, every reference
    // staying within the grid.
    bool readsAs(int row, int column, std::string_view text) const;
    // Whether every reference stays within the grid when the formula is copied to row and
    // column.
    bool fitsAt(int row, int column) const;
    // Absent when the text cannot be parsed.
    const FormulaNode* root() const { return m_parsed.root ? &*m_parsed.root : nullptr; }

  private:
    std::string m_text;
    int m_row;
    int m_column;
    ParsedFormula m_parsed;
};

} // namespace karumenio::spreadsheet

#pragma once

#include "cellvalue.h"

#include <string>
#include <vector>

namespace karumenio::spreadsheet {

// What a user put into a cell: a constant, or a formula whose text starts with "=".
class CellContent {
  public:
    CellContent() = default;

    static CellContent value(CellValue v) {
        CellContent content;
        content.m_value = std::move(v);
        return content;
    }
    static CellContent formulaText(std::string text) {
        CellContent content;
        if (!text.empty()) {
            content.m_value = CellValue::text(std::move(text));
            content.m_formula = true;
        }
        return content;
    }

    // The constant; Empty for a formula cell.
    const CellValue& constant() const {
        static const CellValue none;
        return m_formula ? none : m_value;
    }
    // The formula text; empty for a constant.
    const std::string& formula() const {
        static const std::string none;
        return m_formula ? m_value.textValue() : none;
    }
    bool isFormula() const { return m_formula; }
    bool isEmpty() const { return !m_formula && m_value.isEmpty(); }

    friend bool operator==(const CellContent&, const CellContent&) = default;

  private:
    // The constant, or the formula text held as text; an edit record holds thousands.
    CellValue m_value;
    bool m_formula = false;
};

// One cell of one user action, as it was and as it became.
struct CellChange {
    int row = 0;
    int column = 0;
    CellContent before;
    CellContent after;

    friend bool operator==(const CellChange&, const CellChange&) = default;
};

// One user action: undo writes the befores back, redo the afters.
using EditRecord = std::vector<CellChange>;

} // namespace karumenio::spreadsheet

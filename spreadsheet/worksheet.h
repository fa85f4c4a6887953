#pragma once

#include "cellcontent.h"
#include "cellname.h"
#include "cellvalue.h"
#include "sheetlayout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace karumenio::spreadsheet {

class Formula;

// A worksheet: cells addressed by 1-based row and column, each Empty, a constant or a
// formula, with the formulas recalculated after every edit. Columns A to G are stored densely
// row by row, the rest sparsely, so a few thousand data rows stay cheap.
class Worksheet {
  public:
    static constexpr int kRowCount = 65536;
    static constexpr int kColumnCount = 256;
    // Column B holds point names, which keep the exact text typed or pasted ("001").
    static constexpr int kTextColumn = 2;

    explicit Worksheet(std::string name = "Sheet1");

    const std::string& name() const { return m_name; }

    // The value the cell shows: its constant, or its formula's result. Cells outside the grid
    // or never written are Empty.
    const CellValue& value(int row, int column) const;
    CellContent content(int row, int column) const;
    // True for a cell without constant or formula: content(row, column).isEmpty(), without
    // making the content.
    bool isEmpty(int row, int column) const;
    // The formula text ("=IF(C7=\"\",\"\",G6)"), or empty text for a cell without formula.
    std::string formula(int row, int column) const;
    // What a cell editor shows: the formula text, or the constant in text form. Text that
    // would read back as something else gets a leading apostrophe ("'12").
    std::string inputText(int row, int column) const;

    // Each of these is one edit and recalculates once. Cells outside the grid throw the
    // subscript error.
    void setValue(int row, int column, CellValue value);
    // The text must start with "="; text the formula language cannot read stays in the cell
    // as written and shows "#NAME?".
    void setFormula(int row, int column, std::string_view text);
    // Writes the formula into the cell at top and copies of it, relative references moved
    // along, into the cells below down to bottom, as a fill down does. A copy whose
    // references would leave the grid throws the subscript error before anything changes.
    void fillFormulaDown(int top, int bottom, int column, std::string_view text);
    // A user typing into a cell: "=..." is a formula, a leading apostrophe keeps the rest as
    // text, text that reads as a number becomes a Number (except in column B), "" empties it.
    EditRecord enter(int row, int column, std::string_view typed);
    // The Delete key over a block.
    EditRecord clear(int top, int left, int bottom, int right);
    // Writes the after of every change as one action and fills in the befores; changes that
    // alter nothing are left out of the result.
    EditRecord apply(EditRecord changes);
    void undo(const EditRecord& record);
    void redo(const EditRecord& record);
    // A sheet filled once and never undone (the command-line tool's) need not remember what
    // its edits replaced: apply() then writes the changes and returns no record.
    void setKeepsHistory(bool keeps) { m_keepsHistory = keeps; }

    // The last row holding anything, 0 for an empty sheet.
    int lastUsedRow() const;

    const SheetLayout& layout() const { return m_layout; }
    SheetLayout& layout() { return m_layout; }

    // One pass over all formulas; each is evaluated once however the formulas chain.
    void recalculate();
    // While a hold lasts, edits store their content and leave the formulas' values as they
    // were; the last release recalculates once if anything changed. A sheet filled in steps
    // before anyone looks at its values is calculated once, not at every step.
    void holdRecalculation() { ++m_holds; }
    void releaseRecalculation();

    // Reads a typed text as cell content by the rules of enter().
    static CellContent contentFromTyped(int column, std::string_view typed);

  private:
    friend class Recalculation;

    struct Cell {
        CellValue value;
        // Shared by the cells below that hold copies of the same formula.
        std::shared_ptr<const Formula> formula;

        bool isEmpty() const { return !formula && value.isEmpty(); }
    };

    static constexpr int kDenseColumns = 7;

    const Cell* find(int row, int column) const;
    Cell* find(int row, int column);
    Cell& cellAt(int row, int column);
    // Makes room for the dense rows down to row when column is one of them.
    void reserveDenseRows(int column, int row);
    // Stores content without recalculating.
    void write(int row, int column, const CellContent& content);
    static void checkCell(int row, int column);
    static std::uint32_t sparseKey(int row, int column) {
        return static_cast<std::uint32_t>(row - 1) * kColumnCount +
               static_cast<std::uint32_t>(column - 1);
    }

    std::string m_name;
    std::vector<Cell> m_dense;
    int m_denseRows = 0;
    bool m_keepsHistory = true;
    int m_holds = 0;
    bool m_stale = false;
    std::unordered_map<std::uint32_t, Cell> m_sparse;
    SheetLayout m_layout;
};

} // namespace karumenio::spreadsheet

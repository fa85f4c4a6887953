#include "worksheet.h"

#include "formula.h"
#include "formulaevaluator.h"
#include "runtimeerror.h"

#include <algorithm>
#include <functional>

namespace karumenio::spreadsheet {

namespace {

const CellValue kEmpty;

} // namespace

// One recalculation. Formula cells are evaluated on demand with an explicit stack instead of
// recursion, so that a chain of thousands of formulas cannot exhaust the call stack: a
// formula that meets a reference to a formula cell not yet evaluated is set aside, that cell
// is evaluated first, and the formula is evaluated again. A formula that meets a cell whose
// evaluation is still under way depends on itself and gets an error value.
class Recalculation final : public FormulaContext {
  public:
    explicit Recalculation(Worksheet& sheet)
        : m_sheet(sheet), m_denseStates(sheet.m_dense.size()) {}

    void run(Worksheet::Cell& start, int row, int column) {
        if (state(start) == kDone) {
            return;
        }
        m_stack.push_back({&start, row, column});
        while (!m_stack.empty()) {
            const Pending pending = m_stack.back();
            Worksheet::Cell& cell = *pending.cell;
            if (state(cell) == kDone) {
                m_stack.pop_back();
                continue;
            }
            stateOf(cell) = kStarted;
            m_missing.clear();
            const FormulaNode* root = cell.formula->root();
            CellValue result = root ? evaluateFormula(*root, *this, pending.row, pending.column)
                                    : CellValue::error(std::string(kErrorName));
            if (m_missing.empty()) {
                cell.value = std::move(result);
                stateOf(cell) = kDone;
                m_stack.pop_back();
            } else {
                m_stack.insert(m_stack.end(), m_missing.begin(), m_missing.end());
            }
        }
    }

    const CellValue& cellValue(int row, int column) override {
        Worksheet::Cell* cell = m_sheet.find(row, column);
        return cell ? valueOf(*cell, row, column) : kEmpty;
    }

    void visitRange(int top, int left, int bottom, int right,
                    const std::function<void(const CellValue&)>& visit) override {
        top = std::max(top, 1);
        left = std::max(left, 1);
        const int denseBottom = std::min(bottom, m_sheet.m_denseRows);
        const int denseRight = std::min(right, Worksheet::kDenseColumns);
        for (int row = top; row <= denseBottom; ++row) {
            Worksheet::Cell* rowCells =
                &m_sheet.m_dense[static_cast<std::size_t>(row - 1) * Worksheet::kDenseColumns];
            for (int column = left; column <= denseRight; ++column) {
                const CellValue& v = valueOf(rowCells[column - 1], row, column);
                if (!v.isEmpty()) {
                    visit(v);
                }
            }
        }
        const int sparseLeft = std::max(left, Worksheet::kDenseColumns + 1);
        if (right < sparseLeft || m_sheet.m_sparse.empty()) {
            return;
        }
        const auto area = static_cast<std::size_t>(bottom - top + 1) *
                          static_cast<std::size_t>(right - sparseLeft + 1);
        if (area <= m_sheet.m_sparse.size()) {
            for (int row = top; row <= bottom; ++row) {
                for (int column = sparseLeft; column <= right; ++column) {
                    const CellValue& v = cellValue(row, column);
                    if (!v.isEmpty()) {
                        visit(v);
                    }
                }
            }
            return;
        }
        for (auto& [key, cell] : m_sheet.m_sparse) {
            const int row = static_cast<int>(key / Worksheet::kColumnCount) + 1;
            const int column = static_cast<int>(key % Worksheet::kColumnCount) + 1;
            if (row >= top && row <= bottom && column >= sparseLeft && column <= right) {
                const CellValue& v = valueOf(cell, row, column);
                if (!v.isEmpty()) {
                    visit(v);
                }
            }
        }
    }

  private:
    // 0: not started.
    static constexpr std::uint8_t kStarted = 1;
    static constexpr std::uint8_t kDone = 2;

    // Kept beside the cells, not in them, so that a sheet of thousands of rows stays small.
    std::uint8_t& stateOf(Worksheet::Cell& cell) {
        const std::less<const Worksheet::Cell*> before;
        const Worksheet::Cell* dense = m_sheet.m_dense.data();
        if (!before(&cell, dense) && before(&cell, dense + m_denseStates.size())) {
            return m_denseStates[static_cast<std::size_t>(&cell - dense)];
        }
        return m_sparseStates[&cell];
    }
    std::uint8_t state(Worksheet::Cell& cell) { return stateOf(cell); }

    const CellValue& valueOf(Worksheet::Cell& cell, int row, int column) {
        if (!cell.formula) {
            return cell.value;
        }
        switch (state(cell)) {
        case kDone:
            return cell.value;
        case kStarted: {
            static const CellValue circular = CellValue::error(std::string(kErrorReference));
            return circular;
        }
        default:
            m_missing.push_back({&cell, row, column});
            return kEmpty;
        }
    }

    // A formula cell waiting to be evaluated, with its place.
    struct Pending {
        Worksheet::Cell* cell;
        int row;
        int column;
    };

    Worksheet& m_sheet;
    std::vector<std::uint8_t> m_denseStates;
    std::unordered_map<const Worksheet::Cell*, std::uint8_t> m_sparseStates;
    std::vector<Pending> m_stack;
    std::vector<Pending> m_missing;
};

Worksheet::Worksheet(std::string name) : m_name(std::move(name)) {}

void Worksheet::checkCell(int row, int column) {
    if (row < 1 || row > kRowCount || column < 1 || column > kColumnCount) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "インデックスが有効範囲にありません: 行 " + std::to_string(row) +
                               "、列 " + std::to_string(column) +
                               " はワークシートの範囲 (65536 行 × 256 列) の外です。");
    }
}

const Worksheet::Cell* Worksheet::find(int row, int column) const {
    if (column >= 1 && column <= kDenseColumns) {
        if (row < 1 || row > m_denseRows) {
            return nullptr;
        }
        return &m_dense[static_cast<std::size_t>(row - 1) * kDenseColumns +
                        static_cast<std::size_t>(column - 1)];
    }
    if (row < 1 || row > kRowCount || column < 1 || column > kColumnCount) {
        return nullptr;
    }
    const auto it = m_sparse.find(sparseKey(row, column));
    return it == m_sparse.end() ? nullptr : &it->second;
}

Worksheet::Cell* Worksheet::find(int row, int column) {
    return const_cast<Cell*>(std::as_const(*this).find(row, column));
}

Worksheet::Cell& Worksheet::cellAt(int row, int column) {
    if (column <= kDenseColumns) {
        if (row > m_denseRows) {
            m_dense.resize(static_cast<std::size_t>(row) * kDenseColumns);
            m_denseRows = row;
        }
        return m_dense[static_cast<std::size_t>(row - 1) * kDenseColumns +
                       static_cast<std::size_t>(column - 1)];
    }
    return m_sparse[sparseKey(row, column)];
}

const CellValue& Worksheet::value(int row, int column) const {
    const Cell* cell = find(row, column);
    return cell ? cell->value : kEmpty;
}

CellContent Worksheet::content(int row, int column) const {
    const Cell* cell = find(row, column);
    if (!cell) {
        return {};
    }
    if (cell->formula) {
        return CellContent::formulaText(cell->formula->textAt(row, column));
    }
    return CellContent::value(cell->value);
}

bool Worksheet::isEmpty(int row, int column) const {
    const Cell* cell = find(row, column);
    return cell == nullptr || cell->isEmpty();
}

std::string Worksheet::formula(int row, int column) const {
    const Cell* cell = find(row, column);
    return cell && cell->formula ? cell->formula->textAt(row, column) : std::string();
}

std::string Worksheet::inputText(int row, int column) const {
    const CellContent c = content(row, column);
    if (c.isFormula()) {
        return c.formula();
    }
    const CellValue& v = c.constant();
    switch (v.kind()) {
    case CellValue::Kind::Empty:
        return {};
    case CellValue::Kind::Text:
        if (contentFromTyped(column, v.textValue()) != c) {
            return "'" + v.textValue();
        }
        return v.textValue();
    default:
        return v.joinForm();
    }
}

CellContent Worksheet::contentFromTyped(int column, std::string_view typed) {
    if (typed.empty()) {
        return {};
    }
    if (typed.front() == '=') {
        return CellContent::formulaText(std::string(typed));
    }
    if (typed.front() == '\'') {
        return CellContent::value(CellValue::text(std::string(typed.substr(1))));
    }
    if (column != kTextColumn) {
        if (auto number = readNumber(typed)) {
            return CellContent::value(CellValue::number(*number));
        }
    }
    return CellContent::value(CellValue::text(std::string(typed)));
}

void Worksheet::write(int row, int column, const CellContent& content) {
    if (content.isEmpty()) {
        if (column > kDenseColumns) {
            m_sparse.erase(sparseKey(row, column));
        } else if (Cell* cell = find(row, column)) {
            *cell = Cell();
        }
        return;
    }
    Cell& cell = cellAt(row, column);
    if (content.isFormula()) {
        if (!cell.formula || !cell.formula->readsAs(row, column, content.formula())) {
            // A copy of the formula above, as a column filled down holds, shares its parse.
            const Cell* above = find(row - 1, column);
            if (above && above->formula &&
                above->formula->readsAs(row, column, content.formula())) {
                cell.formula = above->formula;
            } else {
                cell.formula = std::make_shared<const Formula>(content.formula(), row, column);
            }
        }
        cell.value = CellValue();
    } else {
        cell.formula.reset();
        cell.value = content.constant();
    }
}

void Worksheet::setValue(int row, int column, CellValue value) {
    checkCell(row, column);
    CellContent content = CellContent::value(std::move(value));
    // Setting what is already there recalculates nothing; thousands of formulas would be
    // evaluated again for the same values.
    if (content == this->content(row, column)) {
        return;
    }
    write(row, column, content);
    recalculate();
}

void Worksheet::setFormula(int row, int column, std::string_view text) {
    checkCell(row, column);
    std::string formulaText(text);
    if (formulaText.empty() || formulaText.front() != '=') {
        formulaText.insert(formulaText.begin(), '=');
    }
    write(row, column, CellContent::formulaText(std::move(formulaText)));
    recalculate();
}

void Worksheet::fillFormulaDown(int top, int bottom, int column, std::string_view text) {
    checkCell(top, column);
    checkCell(bottom, column);
    std::string formulaText(text);
    if (formulaText.empty() || formulaText.front() != '=') {
        formulaText.insert(formulaText.begin(), '=');
    }
    const auto formula = std::make_shared<const Formula>(std::move(formulaText), top, column);
    // References move in step with the rows, so the last copy is the one to check.
    if (!formula->fitsAt(bottom, column)) {
        throw RunTimeError(RunError::SubscriptOutOfRange,
                           "インデックスが有効範囲にありません: " + cellName(top, column) +
                               " から " + cellName(bottom, column) +
                               " へ写した数式の参照がワークシートの外に出ます。");
    }
    reserveDenseRows(column, bottom);
    for (int row = top; row <= bottom; ++row) {
        Cell& cell = cellAt(row, column);
        cell.formula = formula;
        cell.value = CellValue();
    }
    recalculate();
}

void Worksheet::reserveDenseRows(int column, int row) {
    if (column <= kDenseColumns && row > m_denseRows) {
        m_dense.reserve(static_cast<std::size_t>(row) * kDenseColumns);
    }
}

EditRecord Worksheet::enter(int row, int column, std::string_view typed) {
    checkCell(row, column);
    return apply({CellChange{row, column, {}, contentFromTyped(column, typed)}});
}

EditRecord Worksheet::apply(EditRecord changes) {
    for (const CellChange& change : changes) {
        checkCell(change.row, change.column);
    }
    // Grown once, not row by row.
    int lastRow = 0;
    for (const CellChange& change : changes) {
        if (change.column <= kDenseColumns && !change.after.isEmpty()) {
            lastRow = std::max(lastRow, change.row);
        }
    }
    reserveDenseRows(1, lastRow);
    if (!m_keepsHistory) {
        for (const CellChange& change : changes) {
            const Cell* cell = find(change.row, change.column);
            if (!change.after.isEmpty() || (cell != nullptr && !cell->isEmpty())) {
                write(change.row, change.column, change.after);
            }
        }
        recalculate();
        return {};
    }
    // The changes that alter nothing are dropped in place; a paste of thousands of cells
    // needs no second record as large.
    std::size_t done = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        CellChange& change = changes[i];
        change.before = content(change.row, change.column);
        if (change.before == change.after) {
            continue;
        }
        write(change.row, change.column, change.after);
        if (done != i) {
            changes[done] = std::move(change);
        }
        ++done;
    }
    changes.resize(done);
    recalculate();
    return changes;
}

EditRecord Worksheet::clear(int top, int left, int bottom, int right) {
    top = std::max(top, 1);
    left = std::max(left, 1);
    bottom = std::min(bottom, kRowCount);
    right = std::min(right, kColumnCount);
    EditRecord changes;
    const int denseBottom = std::min(bottom, m_denseRows);
    for (int row = top; row <= denseBottom; ++row) {
        for (int column = left; column <= std::min(right, kDenseColumns); ++column) {
            if (!find(row, column)->isEmpty()) {
                changes.push_back(CellChange{row, column, {}, {}});
            }
        }
    }
    std::vector<std::pair<int, int>> sparseCells;
    for (const auto& [key, cell] : m_sparse) {
        const int row = static_cast<int>(key / kColumnCount) + 1;
        const int column = static_cast<int>(key % kColumnCount) + 1;
        if (row >= top && row <= bottom && column >= left && column <= right) {
            sparseCells.emplace_back(row, column);
        }
    }
    std::sort(sparseCells.begin(), sparseCells.end());
    for (const auto& [row, column] : sparseCells) {
        changes.push_back(CellChange{row, column, {}, {}});
    }
    return apply(std::move(changes));
}

void Worksheet::undo(const EditRecord& record) {
    for (auto it = record.rbegin(); it != record.rend(); ++it) {
        checkCell(it->row, it->column);
        write(it->row, it->column, it->before);
    }
    recalculate();
}

void Worksheet::redo(const EditRecord& record) {
    for (const CellChange& change : record) {
        checkCell(change.row, change.column);
        write(change.row, change.column, change.after);
    }
    recalculate();
}

int Worksheet::lastUsedRow() const {
    int last = 0;
    for (int row = m_denseRows; row >= 1 && last == 0; --row) {
        for (int column = 1; column <= kDenseColumns; ++column) {
            if (!find(row, column)->isEmpty()) {
                last = row;
                break;
            }
        }
    }
    for (const auto& entry : m_sparse) {
        last = std::max(last, static_cast<int>(entry.first / kColumnCount) + 1);
    }
    return last;
}

void Worksheet::releaseRecalculation() {
    if (m_holds > 0 && --m_holds == 0 && m_stale) {
        recalculate();
    }
}

void Worksheet::recalculate() {
    if (m_holds > 0) {
        m_stale = true;
        return;
    }
    m_stale = false;
    Recalculation calculation(*this);
    for (std::size_t i = 0; i < m_dense.size(); ++i) {
        if (m_dense[i].formula) {
            calculation.run(m_dense[i], static_cast<int>(i / kDenseColumns) + 1,
                            static_cast<int>(i % kDenseColumns) + 1);
        }
    }
    for (auto& [key, cell] : m_sparse) {
        if (cell.formula) {
            calculation.run(cell, static_cast<int>(key / kColumnCount) + 1,
                            static_cast<int>(key % kColumnCount) + 1);
        }
    }
}

} // namespace karumenio::spreadsheet

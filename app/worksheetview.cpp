#include "worksheetview.h"

#include "celldelegate.h"
#include "worksheetmodel.h"

#include "job/messages.h"
#include "points/inputtemplate.h"
#include "points/pointtable.h"

#include "guide/formlook.h"
#include "spreadsheet/sheetnavigation.h"
#include "spreadsheet/worksheet.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cmath>
#include <limits>

namespace karumenio::app {

namespace {

// Column widths count characters of the default font's widest digit, plus the cell margins.
int columnPixels(double characters, const QFontMetrics& metrics) {
    int digit = 0;
    for (QChar c = QLatin1Char('0'); c <= QLatin1Char('9'); c = QChar(c.unicode() + 1)) {
        digit = std::max(digit, metrics.horizontalAdvance(c));
    }
    return static_cast<int>(std::lround(characters * digit)) + 5;
}

} // namespace

WorksheetView::WorksheetView(WorksheetModel* model, QWidget* parent)
    : QTableView(parent), m_model(model) {
    setModel(model);
    setItemDelegate(new CellDelegate(model->worksheet(), this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setGridStyle(Qt::SolidLine);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192, 192, 192); "
                                 "selection-background-color: transparent; "
                                 "selection-color: black; }"));
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    applyLayout();
}

void WorksheetView::applyLayout() {
    const spreadsheet::SheetLayout& layout = m_model->worksheet().layout();

    QFont defaultFont(QString::fromStdString(layout.defaultFontFamily));
    defaultFont.setPointSizeF(layout.defaultPointSize);
    setFont(defaultFont);
    const QFontMetrics metrics(defaultFont);

    // Shown whatever the sheet says: messages name cells ("C18") that the surveyor must find.
    horizontalHeader()->setVisible(true);
    verticalHeader()->setVisible(true);
    setShowGrid(layout.gridlinesShown);

    // Rows share one height except the few the sheet sets, which keeps scrolling cheap.
    QHeaderView* rows = verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(guide::twips(layout.defaultRowHeight));
    for (const auto& [row, height] : layout.rowHeights) {
        rows->resizeSection(row - 1, guide::twips(height));
    }

    QHeaderView* columns = horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultSectionSize(columnPixels(layout.defaultColumnWidth, metrics));
    for (const auto& [column, width] : layout.columnWidths) {
        if (width > 0) {
            columns->resizeSection(column - 1, columnPixels(width, metrics));
        }
    }
    for (int column = 1; column <= spreadsheet::Worksheet::kColumnCount; ++column) {
        setColumnHidden(column - 1, layout.isColumnHidden(column));
    }

    for (const spreadsheet::CellRange& merged : layout.mergedRanges) {
        setSpan(merged.top - 1, merged.left - 1, merged.bottom - merged.top + 1,
                merged.right - merged.left + 1);
    }

    const spreadsheet::CellRange& selection = layout.selection;
    selectCells(selection.top, selection.left, selection.bottom, selection.right);
}

void WorksheetView::selectCells(int top, int left, int bottom, int right) {
    const QModelIndex first = m_model->index(top - 1, left - 1);
    setCurrentIndex(first);
    selectionModel()->select(QItemSelection(first, m_model->index(bottom - 1, right - 1)),
                             QItemSelectionModel::ClearAndSelect);
}

void WorksheetView::showCell(int row, int column) {
    selectCells(row, column, row, column);
    const QModelIndex cell = m_model->index(row - 1, column - 1);
    scrollTo(cell, QAbstractItemView::PositionAtCenter);
    // A window shown a moment ago has not had its final size yet: centre again once it has.
    QTimer::singleShot(0, this, [this, cell] {
        if (currentIndex() == cell) {
            scrollTo(cell, QAbstractItemView::PositionAtCenter);
        }
    });
}

bool WorksheetView::selectedBlock(int& top, int& left, int& bottom, int& right) const {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        const QModelIndex current = currentIndex();
        if (!current.isValid()) {
            return false;
        }
        top = bottom = current.row();
        left = right = current.column();
        return true;
    }
    top = left = std::numeric_limits<int>::max();
    bottom = right = -1;
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
    }
    return true;
}

void WorksheetView::commitPendingEdit() {
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void WorksheetView::copySelection() {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (selectedBlock(top, left, bottom, right)) {
        const QString text = m_model->copyText(top, left, bottom, right);
        if (!text.isEmpty()) {
            QApplication::clipboard()->setText(text);
        }
    }
}

void WorksheetView::pasteClipboard() {
    pasteText(QApplication::clipboard()->text());
}

void WorksheetView::pasteText(const QString& text) {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if (text.isEmpty() || !selectedBlock(top, left, bottom, right)) {
        return;
    }
    const QModelIndex at = m_model->index(top, left);
    const QByteArray bytes = text.toUtf8();
    // What cannot go in at all is refused before anything is asked.
    if (!m_model->pasteFits(at, bytes)) {
        return;
    }
    // Rows of a new job over an old one: the old radii and rows must not leak into it.
    const bool atFirstDataCell = top == points::kFirstDataRow - 1 && left == 0;
    bool replace = false;
    if (atFirstDataCell && m_replaceJobQuestion && m_model->holdsAJob()) {
        const job::ReplaceAnswer answer = job::replaceAnswer(m_replaceJobQuestion());
        if (answer == job::ReplaceAnswer::Cancel) {
            return;
        }
        replace = answer == job::ReplaceAnswer::Replace;
    }
    QUndoStack* undo = m_model->undoStack();
    if (replace) {
        undo->beginMacro(QStringLiteral("貼り付け"));
        m_model->clearJob();
    }
    const spreadsheet::EditRecord record = m_model->paste(at, bytes);
    if (replace) {
        undo->endMacro();
    }
    if (record.empty()) {
        return;
    }
    int lastRow = top + 1;
    int lastColumn = left + 1;
    for (const spreadsheet::CellChange& change : record) {
        lastRow = std::max(lastRow, change.row);
        lastColumn = std::max(lastColumn, change.column);
    }
    selectCells(top + 1, left + 1, lastRow, lastColumn);
}

void WorksheetView::clearSelectedCells() {
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) {
        const QModelIndex current = currentIndex();
        if (current.isValid()) {
            m_model->clear(current.row(), current.column(), current.row(), current.column());
        }
        return;
    }
    // Overlapping ranges of one selection are cleared block by block, one undo step each.
    for (const QItemSelectionRange& range : selection) {
        m_model->clear(range.top(), range.left(), range.bottom(), range.right());
    }
}

void WorksheetView::cutSelection() {
    copySelection();
    clearSelectedCells();
}

void WorksheetView::moveCurrentDown() {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return;
    }
    // Below a merged block the next cell is the first row after it.
    const int next = current.row() + rowSpan(current.row(), current.column());
    if (next < m_model->rowCount()) {
        setCurrentIndex(m_model->index(next, current.column()));
    }
}

void WorksheetView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            copySelection();
            return;
        }
        if (event->matches(QKeySequence::Cut)) {
            cutSelection();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            pasteClipboard();
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
            clearSelectedCells();
            return;
        }
        if (jumpWithCtrl(event)) {
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            event->modifiers() == Qt::NoModifier) {
            moveCurrentDown();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

QModelIndex WorksheetView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if (!(modifiers & Qt::ControlModifier) || !current.isValid()) {
        return QTableView::moveCursor(action, modifiers);
    }
    const spreadsheet::Worksheet& sheet = m_model->worksheet();
    const spreadsheet::CellPosition from{current.row() + 1, current.column() + 1};
    spreadsheet::CellPosition to;
    switch (action) {
    case MoveUp:
        to = spreadsheet::dataEdge(sheet, from, -1, 0);
        break;
    case MoveDown:
        to = spreadsheet::dataEdge(sheet, from, 1, 0);
        break;
    case MoveLeft:
        to = spreadsheet::dataEdge(sheet, from, 0, -1);
        break;
    case MoveRight:
        to = spreadsheet::dataEdge(sheet, from, 0, 1);
        break;
    case MoveEnd:
        to = spreadsheet::lastUsedCell(sheet);
        break;
    default:
        return QTableView::moveCursor(action, modifiers);
    }
    return m_model->index(to.row - 1, to.column - 1);
}

bool WorksheetView::jumpWithCtrl(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier &&
        modifiers != (Qt::ControlModifier | Qt::ShiftModifier)) {
        return false;
    }
    CursorAction action;
    switch (event->key()) {
    case Qt::Key_Up:
        action = MoveUp;
        break;
    case Qt::Key_Down:
        action = MoveDown;
        break;
    case Qt::Key_Left:
        action = MoveLeft;
        break;
    case Qt::Key_Right:
        action = MoveRight;
        break;
    case Qt::Key_Home:
        action = MoveHome;
        break;
    case Qt::Key_End:
        action = MoveEnd;
        break;
    default:
        return false;
    }
    const QModelIndex current = currentIndex();
    const QModelIndex target = moveCursor(action, modifiers);
    if (!current.isValid() || !target.isValid()) {
        return false;
    }
    // With Shift the block runs from the corner of the selection opposite the current cell.
    QModelIndex anchor = target;
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    if ((modifiers & Qt::ShiftModifier) && selectedBlock(top, left, bottom, right)) {
        anchor = m_model->index(current.row() == top ? bottom : top,
                                current.column() == left ? right : left);
    }
    // A merged block is taken whole.
    const auto lastRow = [this](const QModelIndex& i) {
        return i.row() + rowSpan(i.row(), i.column()) - 1;
    };
    const auto lastColumn = [this](const QModelIndex& i) {
        return i.column() + columnSpan(i.row(), i.column()) - 1;
    };
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(m_model->index(std::min(anchor.row(), target.row()),
                                      std::min(anchor.column(), target.column())),
                       m_model->index(std::max(lastRow(anchor), lastRow(target)),
                                      std::max(lastColumn(anchor), lastColumn(target)))),
        QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    return true;
}

void WorksheetView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    // Enter confirms a cell and moves on to the one below, as spreadsheets do.
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        moveCurrentDown();
    }
}

} // namespace karumenio::app

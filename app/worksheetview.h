#pragma once

#include <QTableView>

#include <functional>

namespace karumenio::app {

class WorksheetModel;

// The worksheet as a spreadsheet user expects it: the sheet's own column widths, row heights,
// merged cells and hidden columns, column letters and row numbers, gridlines, and the usual
// keys for typing, deleting, copying, pasting and moving (Ctrl with the arrows, Home and End).
class WorksheetView : public QTableView {
    Q_OBJECT
  public:
    explicit WorksheetView(WorksheetModel* model, QWidget* parent = nullptr);

    WorksheetModel* worksheetModel() const { return m_model; }

    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // Finishes a cell edit in progress, as leaving the cell would.
    void commitPendingEdit();
    void copySelection();
    void pasteClipboard();
    // Pastes text as if it came from the clipboard, with its top-left cell at the current cell.
    void pasteText(const QString& text);
    void clearSelectedCells();
    // Copies the block, then clears it as the Delete key does.
    void cutSelection();
    // Asked before a paste at A6 over an earlier job: 0 replaces the job (the data rows go
    // back to the template first), 1 pastes over it, anything else cancels. Without it the
    // paste goes over.
    void setReplaceJobQuestion(std::function<int()> question) {
        m_replaceJobQuestion = std::move(question);
    }
    // Selects the block given in 1-based sheet rows and columns.
    void selectCells(int top, int left, int bottom, int right);
    // Selects the cell a message names and scrolls it to the middle of the view, also when the
    // window has only just opened and has not been laid out yet.
    void showCell(int row, int column);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    void applyLayout();
    // The block holding all selected cells, 0-based; false when nothing is selected.
    bool selectedBlock(int& top, int& left, int& bottom, int& right) const;
    void moveCurrentDown();
    // Ctrl (with Shift to select) and an arrow, Home or End, as spreadsheets move: Qt would
    // leave the selection behind. False for any other key.
    bool jumpWithCtrl(QKeyEvent* event);

    WorksheetModel* m_model;
    std::function<int()> m_replaceJobQuestion;
};

} // namespace karumenio::app

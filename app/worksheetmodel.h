#pragma once

#include "spreadsheet/cellcontent.h"

#include <QAbstractTableModel>

#include <memory>

class QUndoStack;

namespace karumenio::spreadsheet {
class Workbook;
class Worksheet;
} // namespace karumenio::spreadsheet

namespace karumenio::app {

// Presents the core worksheet to Qt's item views. Every user edit goes through the core, is
// pushed on the undo stack as one step and ends with one change notification for the sheet,
// however many cells the edit and the recalculation touched.
class WorksheetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit WorksheetModel(spreadsheet::Worksheet& sheet, QObject* parent = nullptr);
    ~WorksheetModel() override;

    spreadsheet::Worksheet& worksheet() { return m_sheet; }
    const spreadsheet::Worksheet& worksheet() const { return m_sheet; }
    QUndoStack* undoStack() const { return m_undoStack; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Column letters and row numbers, so that a cell a message names ("C18") can be found.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // User actions; each is one undo step. They return false after reporting a failure.
    bool enterText(const QModelIndex& index, const QString& text);
    // The Delete key: the block goes back to the template's content (formulas, defaults,
    // headings); the hidden columns stay as they are.
    bool clear(int top, int left, int bottom, int right);
    // "新しい座標表": the whole sheet back to the template, one undo step.
    void restoreTemplate();
    // Whether the data rows hold anything the template does not: an earlier job.
    bool holdsAJob() const;
    // Every data row of the earlier job, in every shown column, back to the template before a
    // new job replaces it.
    void clearJob();
    // Whether clipboard text can be pasted at the index at all; reports why not.
    bool pasteFits(const QModelIndex& index, const QByteArray& clipboardText);
    // Pastes clipboard text with its top-left cell at the index; returns the cells written.
    spreadsheet::EditRecord paste(const QModelIndex& index, const QByteArray& clipboardText);
    QString copyText(int top, int left, int bottom, int right);
    // An edit the core already made to the sheet (a file opened through the job): pushed as
    // one undo step and shown.
    void recordEdit(spreadsheet::EditRecord record, const QString& text);

    // Used by the undo stack.
    void undoRecord(const spreadsheet::EditRecord& record);
    void redoRecord(const spreadsheet::EditRecord& record);

  signals:
    // A user action failed; the text is ready for a message box, the cell (if the failure
    // names one, "C3007") is where it happened.
    void editFailed(const QString& text, const QString& cell);

  private:
    void push(spreadsheet::EditRecord record, const QString& text);
    void sheetChanged();

    const spreadsheet::Worksheet& original();

    spreadsheet::Worksheet& m_sheet;
    QUndoStack* m_undoStack;
    // The shipped template, made when first needed, to restore cells from.
    std::unique_ptr<spreadsheet::Workbook> m_original;
};

} // namespace karumenio::app

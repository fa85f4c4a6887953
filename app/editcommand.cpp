#include "editcommand.h"

#include "worksheetmodel.h"

namespace karumenio::app {

EditCommand::EditCommand(WorksheetModel* model, spreadsheet::EditRecord record, const QString& text)
    : QUndoCommand(text), m_model(model), m_record(std::move(record)) {}

void EditCommand::undo() {
    m_model->undoRecord(m_record);
    m_applied = false;
}

void EditCommand::redo() {
    // The push itself calls redo; the edit happened already then.
    if (m_applied) {
        return;
    }
    m_model->redoRecord(m_record);
    m_applied = true;
}

} // namespace karumenio::app

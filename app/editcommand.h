#pragma once

#include "spreadsheet/cellcontent.h"

#include <QUndoCommand>

namespace karumenio::app {

class WorksheetModel;

// One user edit of the worksheet, already applied when it is pushed.
class EditCommand : public QUndoCommand {
  public:
    EditCommand(WorksheetModel* model, spreadsheet::EditRecord record, const QString& text);

    void undo() override;
    void redo() override;

  private:
    WorksheetModel* m_model;
    spreadsheet::EditRecord m_record;
    bool m_applied = true;
};

} // namespace karumenio::app

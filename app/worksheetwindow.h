#pragma once

#include <QMainWindow>

namespace karumenio::app {

class MessageSink;
class WorksheetModel;
class WorksheetView;

// The window in which the surveyor edits the embedded worksheet. Closing it only hides it:
// the worksheet and its undo history belong to the main window.
class WorksheetWindow : public QMainWindow {
    Q_OBJECT
  public:
    WorksheetWindow(WorksheetModel* model, MessageSink* sink, QWidget* parent = nullptr);

    WorksheetView* view() const { return m_view; }
    void commitPendingEdit();

  private:
    WorksheetView* m_view;
};

} // namespace karumenio::app

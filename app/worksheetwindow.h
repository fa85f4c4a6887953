#pragma once

#include <QMainWindow>

namespace karumenio::job {
class Session;
struct Message;
} // namespace karumenio::job

namespace karumenio::app {

class MessageSink;
class WorksheetModel;
class WorksheetView;

// The window in which the surveyor edits the embedded worksheet. Closing it only hides it:
// the worksheet and its undo history belong to the main window.
class WorksheetWindow : public QMainWindow {
    Q_OBJECT
  public:
    // With a session, the window also opens survey files into its worksheet.
    WorksheetWindow(WorksheetModel* model, MessageSink* sink, QWidget* parent = nullptr,
                    job::Session* session = nullptr);

    WorksheetView* view() const { return m_view; }
    // The width that shows every column of the sheet that the surveyor sees whole.
    int widthForAllColumns() const;
    void commitPendingEdit();

    // Pastes the rows of a SIMA or CSV/TSV file at A6 as one undo step. A file that cannot be
    // read is reported in a message box and changes nothing; returns false then.
    bool openPointsFile(const QString& path);

    // "新しい座標表": the whole worksheet back to the template after a confirmation.
    void newSheet();

  signals:
    // A points file was opened into the worksheet; empty after a new sheet.
    void pointsFileOpened(const QString& path);

  protected:
    // A points file dropped on the window is opened as the menu command does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void choosePointsFile();
    // Replace (0) or paste over (1) the earlier job; anything else cancels.
    int askReplaceJob();
    void showMessage(const job::Message& message);

    WorksheetModel* m_model;
    MessageSink* m_sink;
    job::Session* m_session;
    WorksheetView* m_view;
};

} // namespace karumenio::app

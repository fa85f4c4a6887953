#pragma once

#include <QObject>
#include <QStringList>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

class QWidget;

namespace karumenio::job {
class Job;
struct Settings;
} // namespace karumenio::job

namespace karumenio::app {

class MessageSink;

// The job's flow for the desktop windows: the read, the write run, the question before a
// read the sheet has moved on from is used, the output folder and its recovery, and every
// outcome as a message box. The form hands over its settings and shows the progress.
class SessionAdapter : public QObject {
    Q_OBJECT
  public:
    // Messages go to the sink, over the window given.
    SessionAdapter(MessageSink* sink, QWidget* window);
    ~SessionAdapter() override;

    job::Job& job() { return *m_job; }
    const job::Job& job() const { return *m_job; }
    MessageSink* sink() const { return m_sink; }

    // The settings of the next plan or run, as the form's controls hold them now.
    void setSettings(job::Settings settings);
    // Whether the sheet was edited after the latest complete read.
    bool sheetChangedSinceRead() const { return m_sheetChangedSinceRead; }
    void markSheetChanged();

    // "座 標 読 込": reads the sheet and says what it found.
    void read();
    // ".SCR 出力": asks first when the sheet changed after the read, then writes the scripts
    // into the output folder and says so.
    void write();
    // True when the latest read may be used: when the sheet changed after it, asks whether to
    // read again (the first answer, which reads), use the read points, or cancel.
    bool confirmRead(QWidget* parent, const QString& title, const QStringList& answers);

    // Where the scripts go: $KARUMENIO_DRIVE_C when set, else the folder chosen with
    // "出力先…" (kept between runs), else the root of drive C.
    std::filesystem::path outputFolder() const;
    // Keeps the folder chosen and puts right a write into it that was interrupted.
    void setOutputFolder(const QString& folder);
    // A write into the output folder that was interrupted (a crash, a kill) is finished or
    // undone before anything else uses the folder; only a folder holding a journal is touched.
    void recoverOutputFolder();

  signals:
    void readStarted();
    void readProgress(float minimum, float maximum, float value);
    // After every read, complete or not: the plan may have changed.
    void readEnded();
    // A message is about this cell ("C8"): the worksheet shows it.
    void cellNamed(const QString& cell);

  private:
    void recoverFolder(const std::filesystem::path& folder);
    // Shows a failure and names the cell it belongs to.
    void reportFailure(const QString& title, const std::exception& error);

    MessageSink* m_sink;
    QWidget* m_window;
    std::unique_ptr<job::Job> m_job;
    bool m_sheetChangedSinceRead = false;
};

} // namespace karumenio::app

#pragma once

#include "job/messages.h"

#include <QObject>

#include <filesystem>
#include <memory>
#include <string>

class QWidget;

namespace karumenio::job {
class Job;
class Session;
struct Settings;
} // namespace karumenio::job

namespace karumenio::app {

class MessageSink;

// The desktop windows' side of the core's session: clicks become its calls, and its questions
// and messages become the sink's boxes. The form hands over its settings and shows the read's
// progress; the output folder the surveyor chose is kept here, between runs.
class SessionAdapter : public QObject {
    Q_OBJECT
  public:
    // Messages go to the sink, over the window given unless a call names another.
    SessionAdapter(MessageSink* sink, QWidget* window);
    ~SessionAdapter() override;

    job::Session& session() { return *m_session; }
    job::Job& job();
    const job::Job& job() const;
    MessageSink* sink() const { return m_sink; }

    // The settings of the next plan or run, as the form's controls hold them now.
    void setSettings(job::Settings settings);
    // Whether the sheet was edited after the latest complete read.
    bool sheetChangedSinceRead() const;
    void markSheetChanged();

    // "座 標 読 込": reads the sheet and says what it found.
    void read();
    // ".SCR 出力": asks first when the sheet changed after the read, then writes the scripts
    // into the output folder and says so.
    void write();
    // True when the read may be used for this: when the sheet changed after it, asks whether to
    // read again (and reads), use the read points, or cancel.
    bool confirmUse(QWidget* parent, job::ReadUse use);

    // True, with its message, when an export of the plan is refused as the write run would be.
    bool exportRefused(QWidget* parent);
    // A file of the core's format table, or bytes of the plan the preview rendered, written to
    // the path; the outcome is shown either way. False when nothing was written.
    bool exportFile(QWidget* parent, const QString& token, const QString& path);
    bool writeFile(QWidget* parent, const QString& path, const QByteArray& bytes);

    // Where the scripts go: $KARUMENIO_DRIVE_C when set, else the folder chosen with
    // "出力先…" (kept between runs), else the root of drive C.
    std::filesystem::path outputFolder() const;
    // A folder as the messages name it.
    static QString displayPath(const std::filesystem::path& folder);
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
    // The message as a box over the parent, its cell shown first.
    void show(QWidget* parent, const job::Message& message);

    MessageSink* m_sink;
    QWidget* m_window;
    std::unique_ptr<job::Session> m_session;
};

} // namespace karumenio::app

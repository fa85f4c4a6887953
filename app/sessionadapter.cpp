#include "sessionadapter.h"

#include "errortext.h"
#include "messagesink.h"

#include "job/completion.h"
#include "job/job.h"
#include "job/outputformat.h"
#include "points/reader.h"
#include "spreadsheet/runtimeerror.h"
#include "transaction/atomicfileset.h"
#include "transaction/foldersession.h"
#include "transaction/platform.h"

#include <QSettings>
#include <QWidget>

namespace karumenio::app {

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The completion names the folder the scripts went to; only the root of drive C on Windows
// keeps the program's own words for it.
QString completionText(const std::filesystem::path& folder, bool surveyMap) {
    QString text;
    if (transaction::platform::kIsWindows && folder == std::filesystem::path("C:\\")) {
        text = fromStd(job::completionMessage(folder));
    } else {
        text = fromStd(job::completionMessageIn(transaction::platform::displayPath(folder)));
    }
    if (surveyMap) {
        text +=
            QStringLiteral("\n地積測量図の KYUSEKI.SCR も作成しました（ZAHYOU.SCR の後に実行）。");
    }
    return text;
}

} // namespace

SessionAdapter::SessionAdapter(MessageSink* sink, QWidget* window)
    : QObject(window), m_sink(sink), m_window(window), m_job(std::make_unique<job::Job>()) {}

SessionAdapter::~SessionAdapter() = default;

void SessionAdapter::setSettings(job::Settings settings) {
    m_job->setSettings(std::move(settings));
}

void SessionAdapter::markSheetChanged() {
    m_sheetChangedSinceRead = true;
}

void SessionAdapter::read() {
    emit readStarted();
    const QString title = fromStd(points::kReadTitle);
    try {
        m_job->read([this](float minimum, float maximum, float value) {
            emit readProgress(minimum, maximum, value);
        });
    } catch (const std::exception& error) {
        emit readEnded();
        reportFailure(title, error);
        return;
    }
    m_sheetChangedSinceRead = false;
    emit readEnded();
    QString message = fromStd(m_job->lastRead().message());
    // A coordinate that is not a number would only stop the write; say so now.
    const std::vector<std::string> textCells = m_job->textCoordinateCells();
    if (textCells.empty()) {
        m_sink->information(m_window, title, message);
        return;
    }
    QStringList cells;
    for (const std::string& cell : textCells) {
        cells.append(fromStd(cell));
    }
    message +=
        QStringLiteral("\n\n次のセルの座標が数値ではありません。直してから読み込み直して下さい: %1")
            .arg(cells.join(QStringLiteral("、")));
    emit cellNamed(cells.first());
    m_sink->warning(m_window, title, message);
}

void SessionAdapter::write() {
    const QString title = fromStd(job::kCompletionTitle);
    if (!confirmRead(m_window, title,
                     {QStringLiteral("読み込み直して出力"), QStringLiteral("読み込んだ座標で出力"),
                      QStringLiteral("キャンセル")})) {
        return;
    }

    transaction::WriteReport report;
    std::filesystem::path folder;
    try {
        folder = outputFolder();
        report = m_job->write(job::WriteTargets::scriptsInto(folder));
    } catch (const std::exception& error) {
        reportFailure(title, error);
        return;
    }
    // What the surveyor should know about the files comes with the completion, not after it.
    QString message = completionText(folder, m_job->settings().surveyMap);
    for (const std::string& warning : report.warnings) {
        message += QLatin1Char('\n') + fromStd(warning);
    }
    if (report.warnings.empty()) {
        m_sink->information(m_window, title, message);
    } else {
        m_sink->warning(m_window, title, message);
    }
}

bool SessionAdapter::confirmRead(QWidget* parent, const QString& title,
                                 const QStringList& answers) {
    // The frame follows the sheet while the points follow the read: never mix two jobs unasked.
    if (!m_job->hasRead() || !m_sheetChangedSinceRead) {
        return true;
    }
    const int answer = m_sink->question(
        parent, title,
        QStringLiteral("ワークシートは最後の「座 標 読 込」の後に変更されています。"), answers);
    if (answer == 0) {
        read();
        return m_job->hasRead() && !m_sheetChangedSinceRead;
    }
    return answer == 1;
}

void SessionAdapter::reportFailure(const QString& title, const std::exception& error) {
    if (const auto* runTime = dynamic_cast<const spreadsheet::RunTimeError*>(&error);
        runTime != nullptr && !runTime->cell().empty()) {
        emit cellNamed(fromStd(runTime->cell()));
    }
    m_sink->warning(m_window, title, errorText(error));
}

std::filesystem::path SessionAdapter::outputFolder() const {
    // The environment decides for tests; then the surveyor's choice; then drive C.
    if (!qEnvironmentVariableIsEmpty("KARUMENIO_DRIVE_C")) {
        return transaction::platform::defaultOutputFolder();
    }
    const QString chosen = QSettings().value(QStringLiteral("outputFolder")).toString();
    if (!chosen.isEmpty()) {
        return std::filesystem::path(chosen.toStdU16String());
    }
    return transaction::platform::defaultOutputFolder();
}

void SessionAdapter::setOutputFolder(const QString& folder) {
    QSettings().setValue(QStringLiteral("outputFolder"), folder);
    recoverFolder(std::filesystem::path(folder.toStdU16String()));
}

void SessionAdapter::recoverOutputFolder() {
    recoverFolder(outputFolder());
}

void SessionAdapter::recoverFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(
            folder / transaction::AtomicFileSet::kJournalName, error))) {
        return;
    }
    const QString title = fromStd(job::kCompletionTitle);
    try {
        const transaction::FolderSession session(folder, job::outputFolderScope());
        for (const std::string& line : session.recovered()) {
            m_sink->information(m_window, title, fromStd(line));
        }
    } catch (const std::exception& failure) {
        m_sink->warning(m_window, title, errorText(failure));
    }
}

} // namespace karumenio::app

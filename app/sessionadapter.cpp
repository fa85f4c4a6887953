#include "sessionadapter.h"

#include "messagesink.h"

#include "job/session.h"

#include <QSettings>
#include <QWidget>

namespace karumenio::app {

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path pathOf(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

SessionAdapter::SessionAdapter(MessageSink* sink, QWidget* window)
    : QObject(window), m_sink(sink), m_window(window), m_session(std::make_unique<job::Session>()) {
}

SessionAdapter::~SessionAdapter() = default;

job::Job& SessionAdapter::job() {
    return m_session->job();
}

const job::Job& SessionAdapter::job() const {
    return m_session->job();
}

void SessionAdapter::setSettings(job::Settings settings) {
    m_session->setSettings(std::move(settings));
}

bool SessionAdapter::sheetChangedSinceRead() const {
    return m_session->changedSinceRead();
}

void SessionAdapter::markSheetChanged() {
    m_session->noteSheetChanged();
}

void SessionAdapter::show(QWidget* parent, const job::Message& message) {
    if (!message.cell.empty()) {
        emit cellNamed(fromStd(message.cell));
    }
    if (message.warning) {
        m_sink->warning(parent, fromStd(message.title), fromStd(message.text));
    } else {
        m_sink->information(parent, fromStd(message.title), fromStd(message.text));
    }
}

void SessionAdapter::read() {
    emit readStarted();
    const job::Outcome outcome = m_session->read([this](float minimum, float maximum, float value) {
        emit readProgress(minimum, maximum, value);
    });
    emit readEnded();
    show(m_window, outcome.message);
}

void SessionAdapter::write() {
    if (!confirmUse(m_window, job::ReadUse::Write)) {
        return;
    }
    show(m_window, m_session->write(outputFolder()).message);
}

bool SessionAdapter::confirmUse(QWidget* parent, job::ReadUse use) {
    const std::optional<job::Question> question = m_session->questionBeforeUse(use);
    if (!question) {
        return true;
    }
    QStringList answers;
    for (const std::string& answer : question->answers) {
        answers.append(fromStd(answer));
    }
    switch (job::staleAnswer(
        m_sink->question(parent, fromStd(question->title), fromStd(question->text), answers))) {
    case job::StaleAnswer::ReadAgain:
        read();
        return m_session->readIsCurrent();
    case job::StaleAnswer::UseRead:
        return true;
    case job::StaleAnswer::Cancel:
        break;
    }
    return false;
}

bool SessionAdapter::exportRefused(QWidget* parent) {
    const std::optional<job::Message> refusal = m_session->exportRefusal();
    if (refusal) {
        show(parent, *refusal);
    }
    return refusal.has_value();
}

bool SessionAdapter::exportFile(QWidget* parent, const QString& token, const QString& path) {
    const job::Outcome outcome = m_session->exportFile(token.toStdString(), pathOf(path));
    show(parent, outcome.message);
    return outcome.ok;
}

bool SessionAdapter::writeFile(QWidget* parent, const QString& path, const QByteArray& bytes) {
    const job::Outcome outcome = m_session->writeFile(pathOf(path), bytes.toStdString());
    show(parent, outcome.message);
    return outcome.ok;
}

std::filesystem::path SessionAdapter::outputFolder() const {
    // The environment decides for tests; then the surveyor's choice; then drive C.
    if (!qEnvironmentVariableIsEmpty("KARUMENIO_DRIVE_C")) {
        return job::Session::defaultOutputFolder();
    }
    const QString chosen = QSettings().value(QStringLiteral("outputFolder")).toString();
    if (!chosen.isEmpty()) {
        return pathOf(chosen);
    }
    return job::Session::defaultOutputFolder();
}

QString SessionAdapter::displayPath(const std::filesystem::path& folder) {
    return fromStd(job::Session::displayPath(folder));
}

void SessionAdapter::setOutputFolder(const QString& folder) {
    QSettings().setValue(QStringLiteral("outputFolder"), folder);
    for (const job::Message& message : m_session->recoverFolder(pathOf(folder))) {
        show(m_window, message);
    }
}

void SessionAdapter::recoverOutputFolder() {
    for (const job::Message& message : m_session->recoverFolder(outputFolder())) {
        show(m_window, message);
    }
}

} // namespace karumenio::app

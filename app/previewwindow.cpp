#include "previewwindow.h"

#include "messagesink.h"
#include "planscene.h"
#include "planview.h"
#include "previewexports.h"
#include "sessionadapter.h"

#include "job/errormessage.h"
#include "job/outputformat.h"
#include "job/session.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace karumenio::app {

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A warning as a link to the cell it is about.
QString linkedWarning(const job::Message& warning) {
    const QString text = fromStd(warning.text).toHtmlEscaped();
    if (warning.cell.empty()) {
        return text;
    }
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(fromStd(warning.cell), text);
}

} // namespace

PreviewWindow::PreviewWindow(SessionAdapter* session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_sink(session->sink()),
      m_scene(new PlanScene(this)), m_view(new PlanView(m_scene, this)) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(fromStd(job::kPreviewTitle));
    resize(900, 680);

    auto* tools = new QHBoxLayout;
    auto* fit = new QPushButton(QStringLiteral("全体表示"), this);
    fit->setObjectName(QStringLiteral("fitAll"));
    connect(fit, &QPushButton::clicked, m_view, &PlanView::fitAll);
    tools->addWidget(fit);
    auto* light = new QCheckBox(QStringLiteral("白背景"), this);
    light->setObjectName(QStringLiteral("lightBackground"));
    connect(light, &QCheckBox::toggled, this, &PreviewWindow::toggleBackground);
    tools->addWidget(light);
    m_mapButton = new QPushButton(QStringLiteral("地図で確認"), this);
    m_mapButton->setObjectName(QStringLiteral("openMap"));
    connect(m_mapButton, &QPushButton::clicked, this, &PreviewWindow::openMap);
    tools->addWidget(m_mapButton);
    tools->addStretch();
    // The exports on a row of their own: the window stays narrow enough to stand beside the
    // main window on a small screen.
    auto* exports = new QHBoxLayout;
    for (const PlanExport& entry : planExports()) {
        auto* button = new QPushButton(entry.button, this);
        button->setObjectName(QStringLiteral("export-") + entry.token);
        const QString token = entry.token;
        connect(button, &QPushButton::clicked, this, [this, token] { askAndExport(token); });
        exports->addWidget(button);
        m_exportButtons.append(button);
    }
    exports->addStretch();

    // Shown while the worksheet has changed since the read that the drawing shows.
    m_banner = new QFrame(this);
    m_banner->setObjectName(QStringLiteral("outOfDateBanner"));
    m_banner->setStyleSheet(QStringLiteral("#outOfDateBanner { background: #fff3b0;"
                                           " border: 1px solid #d8a300; }"
                                           " #outOfDateBanner QLabel { color: #5a4300; }"));
    auto* bannerText = new QLabel(fromStd(job::staleSheetQuestion(job::ReadUse::Export).text) +
                                      QStringLiteral("この図面は読み込んだ時の座標のものです。"),
                                  m_banner);
    bannerText->setWordWrap(true);
    auto* readAgain = new QPushButton(QStringLiteral("読み込み直す"), m_banner);
    readAgain->setObjectName(QStringLiteral("readAgain"));
    connect(readAgain, &QPushButton::clicked, this, &PreviewWindow::readRequested);
    auto* bannerRow = new QHBoxLayout(m_banner);
    bannerRow->setContentsMargins(8, 4, 4, 4);
    bannerRow->addWidget(bannerText, 1);
    bannerRow->addWidget(readAgain);
    m_banner->setVisible(false);

    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("counts"));
    m_warnings = new QLabel(this);
    m_warnings->setObjectName(QStringLiteral("warnings"));
    m_warnings->setWordWrap(true);
    m_warnings->setTextFormat(Qt::RichText);
    connect(m_warnings, &QLabel::linkActivated, this, &PreviewWindow::cellRequested);
    m_fit = new QLabel(this);
    m_fit->setObjectName(QStringLiteral("fit"));
    m_fit->setWordWrap(true);
    m_apply = new QPushButton(this);
    m_apply->setObjectName(QStringLiteral("applySuggestion"));
    m_apply->setVisible(false);
    connect(m_apply, &QPushButton::clicked, this, &PreviewWindow::applySuggestion);
    auto* fitRow = new QHBoxLayout;
    fitRow->addWidget(m_fit, 1);
    fitRow->addWidget(m_apply);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addLayout(exports);
    layout->addWidget(m_banner);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_counts);
    layout->addLayout(fitRow);
    layout->addWidget(m_warnings);

    connect(m_view, &PlanView::pointClicked, this, &PreviewWindow::pointClicked);
    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    showMapButton({}, QStringLiteral("図面がありません。"));
}

void PreviewWindow::showMapButton(const QString& address, const QString& unavailable) {
    m_mapAddress = address;
    m_mapButton->setEnabled(!m_mapAddress.isEmpty());
    m_mapButton->setToolTip(m_mapAddress.isEmpty()
                                ? unavailable
                                : QStringLiteral("地理院地図で開きます: %1").arg(m_mapAddress));
}

void PreviewWindow::openMap() {
    if (m_mapAddress.isEmpty()) {
        return;
    }
    if (!m_openUrl(QUrl(m_mapAddress))) {
        m_sink->warning(
            this, windowTitle(),
            QStringLiteral("地図を開けませんでした。次のアドレスをブラウザで開いて下さい:\n%1")
                .arg(m_mapAddress));
    }
}

void PreviewWindow::setPlan(const job::Preview& preview) {
    const plan::Plan& plan = *preview.plan;
    m_scene->setPlan(plan, preview.surveyMap ? &*preview.surveyMap : nullptr);
    m_view->setEnabled(true);
    for (QPushButton* button : std::as_const(m_exportButtons)) {
        button->setEnabled(true);
    }
    m_counts->setText(fromStd(preview.counts));

    QStringList warnings;
    for (const job::Message& warning : preview.warnings) {
        warnings.append(linkedWarning(warning));
    }
    m_warnings->setText(warnings.join(QStringLiteral("<br>")));
    m_warnings->setVisible(!warnings.isEmpty());
    showMapButton(fromStd(preview.mapAddress), fromStd(preview.mapUnavailable));

    m_paperToken = fromStd(preview.suggestedPaper);
    m_scaleToken = fromStd(preview.suggestedScale);
    m_apply->setText(fromStd(preview.suggestionCaption));
    m_fit->setText(fromStd(preview.fitText));
    m_apply->setVisible(hasSuggestion());
    // A new sheet frame (paper, scale, angle, or points that move it) is shown whole; points
    // that change inside the same frame keep the surveyor's zoom.
    std::vector<QPointF> frame;
    if (!plan.frameRectangles.empty()) {
        for (const plan::WorldPoint& corner : plan.frameRectangles.front().vertices) {
            frame.push_back(toScene(corner));
        }
    }
    if (frame != m_fittedFrame) {
        m_view->fitAll();
        m_fittedFrame = std::move(frame);
    }
}

void PreviewWindow::setOutOfDate(bool outOfDate) {
    m_outOfDate = outOfDate;
    m_banner->setVisible(outOfDate);
    m_view->setGreyedOut(outOfDate);
}

void PreviewWindow::showProblem(const QString& message) {
    setOutOfDate(false);
    m_scene->setPlan(plan::Plan{});
    m_view->setEnabled(false);
    for (QPushButton* button : std::as_const(m_exportButtons)) {
        button->setEnabled(false);
    }
    m_counts->setText(message);
    m_warnings->clear();
    m_warnings->setVisible(false);
    m_fit->clear();
    m_apply->setVisible(false);
    showMapButton({}, QStringLiteral("図面がありません。"));
    m_paperToken.clear();
    m_scaleToken.clear();
}

QString PreviewWindow::statusText() const {
    return m_counts->text();
}

QString PreviewWindow::fitText() const {
    return m_fit->text();
}

bool PreviewWindow::hasSuggestion() const {
    return !m_scaleToken.isEmpty();
}

void PreviewWindow::applySuggestion() {
    if (!hasSuggestion()) {
        return;
    }
    // A suggestion made from points the worksheet no longer holds is not applied unasked.
    const QString paper = m_paperToken;
    const QString scale = m_scaleToken;
    if (!m_session->confirmUse(this, job::ReadUse::Suggestion)) {
        return;
    }
    // After a new read the check is made again: the surveyor sees it before anything changes.
    if (m_outOfDate || (paper == m_paperToken && scale == m_scaleToken)) {
        emit suggestionApplied(paper, scale);
    }
}

void PreviewWindow::toggleBackground(bool light) {
    m_scene->setBackground(light ? PlanScene::Background::Light : PlanScene::Background::Dark);
}

bool PreviewWindow::exportTo(const QString& token, const QString& path) {
    const PlanExport* format = findPlanExport(token);
    if (format == nullptr) {
        return false;
    }
    if (format->format != nullptr) {
        return m_session->exportFile(this, token, path);
    }
    // A picture is rendered only of a plan the session would export.
    if (m_session->exportRefused(this)) {
        return false;
    }
    return m_session->writeFile(this, path, format->render(*m_scene));
}

QString PreviewWindow::suggestedPath(const QString& token) const {
    const PlanExport* entry = findPlanExport(token);
    if (entry == nullptr) {
        return {};
    }
    const QDir folder(m_saveFolder.isEmpty() ? QDir::homePath() : m_saveFolder);
    const QString drawing = QStringLiteral("図面");
    const QString stem =
        m_pointsFile.isEmpty() ? drawing : QFileInfo(m_pointsFile).completeBaseName();
    QString path = folder.filePath(stem + entry->suffix);
    // A SIMA or CSV export beside the file it was read from must not offer to replace it;
    // names are compared as Windows compares them, without regard to case.
    const auto absolute = [](const QString& file) {
        return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    };
    if (!m_pointsFile.isEmpty() &&
        absolute(path).compare(absolute(m_pointsFile), Qt::CaseInsensitive) == 0) {
        path = folder.filePath(drawing + entry->suffix);
    }
    return path;
}

bool PreviewWindow::formatAccepts(const PlanExport& entry, const QString& path) {
    if (entry.format == nullptr) {
        return true;
    }
    // The writer decides what it refuses; its bytes are made again once the name is known.
    try {
        const std::filesystem::path target(path.toStdU16String());
        entry.format->write(
            {m_scene->plan(), m_session->session().settings(), target, m_scene->surveyMap()});
    } catch (const std::exception& error) {
        m_sink->warning(this, windowTitle(), QString::fromStdString(job::errorMessage(error)));
        return false;
    }
    return true;
}

void PreviewWindow::askAndExport(const QString& token) {
    const PlanExport* entry = findPlanExport(token);
    if (entry == nullptr) {
        return;
    }
    if (!m_session->confirmUse(this, job::ReadUse::Export)) {
        return;
    }
    // Refused before a file is named, where the write run would refuse, and where the format's
    // writer refuses the plan whatever the name (GeoJSON without a coordinate system).
    if (m_session->exportRefused(this)) {
        return;
    }
    const QString suggested = suggestedPath(token);
    if (!formatAccepts(*entry, suggested)) {
        return;
    }
    QString path = m_sink->saveFileName(this, entry->button, entry->filter, suggested);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(entry->suffix, Qt::CaseInsensitive)) {
        path += entry->suffix;
    }
    exportTo(token, path);
}

} // namespace karumenio::app

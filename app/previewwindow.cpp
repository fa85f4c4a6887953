#include "previewwindow.h"

#include "messagesink.h"
#include "planscene.h"
#include "planview.h"
#include "previewexports.h"
#include "sessionadapter.h"

#include "job/session.h"

#include <QCheckBox>
#include <QDesktopServices>
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
    for (const PlanExport& entry : planExports()) {
        auto* button = new QPushButton(entry.button, this);
        button->setObjectName(QStringLiteral("export-") + entry.token);
        const QString token = entry.token;
        connect(button, &QPushButton::clicked, this, [this, token] { askAndExport(token); });
        tools->addWidget(button);
        m_exportButtons.append(button);
    }

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

void PreviewWindow::askAndExport(const QString& token) {
    const PlanExport* entry = findPlanExport(token);
    if (entry == nullptr) {
        return;
    }
    if (!m_session->confirmUse(this, job::ReadUse::Export)) {
        return;
    }
    // Refused before a file is named, where the write run would refuse.
    if (m_session->exportRefused(this)) {
        return;
    }
    QString path = m_sink->saveFileName(this, entry->button, entry->filter);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(entry->suffix, Qt::CaseInsensitive)) {
        path += entry->suffix;
    }
    exportTo(token, path);
}

} // namespace karumenio::app

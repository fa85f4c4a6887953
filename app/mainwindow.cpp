#include "mainwindow.h"

#include "drawinginfo.h"
#include "drawinginfodialog.h"
#include "messageboxsink.h"
#include "olecontainer.h"
#include "planscene.h"
#include "planview.h"
#include "previewwindow.h"
#include "sessionadapter.h"
#include "windowplacement.h"
#include "worksheetmodel.h"
#include "worksheetview.h"
#include "worksheetwindow.h"

#include "geodesy/planesystem.h"
#include "guide/formlook.h"
#include "guide/screenfit.h"
#include "guide/usagewindow.h"
#include "job/session.h"
#include "plan/degreesperradian.h"
#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/papersize.h"
#include "points/reader.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/formulaparser.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

namespace karumenio::app {

using guide::twips;

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr auto kSurveyMapKey = "surveyMap";
constexpr auto kPlaneSystemKey = "planeSystem";

} // namespace

MainWindow::MainWindow(MessageSink* sink, QWidget* parent) : QWidget(parent) {
    if (!sink) {
        m_ownSink = std::make_unique<MessageBoxSink>();
        sink = m_ownSink.get();
    }
    m_sink = sink;
    m_session = new SessionAdapter(m_sink, this);
    m_model = new WorksheetModel(m_session->job().sheet(), this);

    setObjectName(QStringLiteral("MainWindow"));
    setAcceptDrops(true);
    setFont(guide::gothicFont(9));
    // Taller than the design by the preview button below the progress display, and the
    // survey map's rows below it.
    guide::setupFixedWindow(this, 3735, 8295);
    createControls();
    loadCaptions();

    // Sizes that follow the texts, which exist only after the load handler.
    placeRightAlignedLabel(m_paperCaption, 720, 2955, 495);
    placeRightAlignedLabel(m_angleCaption, 720, 3660, 495);
    placeRightAlignedLabel(m_scaleCaption, 720, 3315, 495);
    placeRightAlignedLabel(m_zoneCaption, 720, 7875, 495);
    guide::placeAutoSizeLabel(m_progressCaption, 120, 6240);
    placeCentredLabel(m_editionPrompt, 720, 720, 2295, 255);
    m_openHint->resize(std::max(m_openHint->width(), m_openHint->sizeHint().width()),
                       m_openHint->height());
    giveTitleRoom(this);
    m_usageButton->setFocus();
    QTimer::singleShot(0, m_session, &SessionAdapter::recoverOutputFolder);
}

MainWindow::~MainWindow() {
    delete m_worksheetWindow;
    delete m_preview;
}

void MainWindow::createControls() {
    auto button = [this](const char* name, int left, int top, int width, int height) {
        auto* control = new QPushButton(QString::fromLatin1(name), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(twips(left), twips(top), twips(width), twips(height));
        return control;
    };
    auto label = [this](const char* name, int left, int top, int width, int height) {
        auto* control = new QLabel(QString::fromLatin1(name), this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(twips(left), twips(top), twips(width), twips(height));
        return control;
    };
    // A list filled from a table of choices; each item carries its entry's token.
    auto combo = [this](const char* name, int left, int top, const auto& table) {
        auto* control = new QComboBox(this);
        control->setObjectName(QString::fromLatin1(name));
        control->setEditable(false);
        for (const auto& entry : table) {
            control->addItem(fromStd(entry.listText), fromStd(entry.token));
        }
        control->setGeometry(twips(left), twips(top), twips(1215), twips(300));
        return control;
    };

    // Created in tab order.
    m_usageButton = button("usageButton", 360, 120, 3015, 375);
    m_paperList = combo("paperList", 1320, 2880, plan::kPaperSizes);
    m_scaleList = combo("scaleList", 1320, 3240, plan::kDrawingScales);
    m_angleBox = new QLineEdit(QStringLiteral("angleBox"), this);
    m_angleBox->setObjectName(QStringLiteral("angleBox"));
    m_angleBox->setGeometry(twips(1320), twips(3600), twips(1215), twips(270));
    m_angleBox->installEventFilter(this);
    m_worksheetIcon = new OleContainer(this);
    m_worksheetIcon->setObjectName(QStringLiteral("worksheetIcon"));
    m_worksheetIcon->setGeometry(twips(1200), twips(4080), twips(1455), twips(975));
    m_readButton = button("readButton", 1200, 5040, 1455, 375);
    m_writeButton = button("writeButton", 1200, 5520, 1455, 375);
    m_paperCaption = label("paperCaption", 720, 2955, 495, 180);
    m_angleCaption = label("angleCaption", 720, 3660, 495, 180);
    m_degreesPerRadianHolder = label("degreesPerRadianHolder", 3000, 5400, 495, 255);
    m_endButton = button("endButton", 1200, 6000, 1455, 375);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setGeometry(twips(120), twips(6480), twips(3495), twips(255));
    m_progressBar->setTextVisible(false);
    m_progressCaption = label("progressCaption", 120, 6240, 495, 180);
    m_scaleCaption = label("scaleCaption", 720, 3315, 495, 180);
    m_openHint = label("openHint", 1200, 4560, 1455, 495);
    // One edition button per entry of the edition table, 360 twips apart.
    for (std::size_t i = 0; i < plan::kEditions.size(); ++i) {
        const std::string name = "edition" + std::string(plan::kEditions[i].code);
        m_editionButtons.push_back(
            button(name.c_str(), 1200, 960 + 360 * static_cast<int>(i), 1455, 300));
    }
    m_editionHolder = label("editionHolder", 2880, 6000, 615, 255);
    m_editionPrompt = label("editionPrompt", 720, 720, 2295, 255);
    m_previewButton = button("previewButton", 120, 6840, 1695, 375);
    m_folderButton = button("folderButton", 1920, 6840, 1695, 375);
    m_surveyMapBox = new QCheckBox(this);
    m_surveyMapBox->setObjectName(QStringLiteral("surveyMapBox"));
    m_surveyMapBox->setGeometry(twips(180), twips(7365), twips(1695), twips(285));
    m_drawingInfoButton = button("drawingInfoButton", 1920, 7320, 1695, 375);
    m_zoneCaption = label("zoneCaption", 720, 7875, 495, 180);
    m_zoneList = new QComboBox(this);
    m_zoneList->setObjectName(QStringLiteral("zoneList"));
    m_zoneList->addItem(QStringLiteral("なし"), 0);
    for (const geodesy::PlaneSystem& system : geodesy::planeSystems()) {
        m_zoneList->addItem(fromStd(geodesy::systemLabel(system)), system.number);
    }
    m_zoneList->setGeometry(twips(1320), twips(7800), twips(1215), twips(300));

    std::vector<QWidget*> order = {m_usageButton,   m_paperList,  m_scaleList,   m_angleBox,
                                   m_worksheetIcon, m_readButton, m_writeButton, m_endButton};
    order.insert(order.end(), m_editionButtons.begin(), m_editionButtons.end());
    order.push_back(m_previewButton);
    order.push_back(m_folderButton);
    order.push_back(m_surveyMapBox);
    order.push_back(m_drawingInfoButton);
    order.push_back(m_zoneList);
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // Value holders: their text is drawn in the window's own background colour.
    const QColor background = palette().color(QPalette::Window);
    guide::setTextColour(m_degreesPerRadianHolder, background);
    guide::setTextColour(m_editionHolder, background);

    const QColor highlight = guide::highlightColour();
    m_openHint->setFont(guide::gothicFont(9.75));
    m_openHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_openHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    guide::setTextColour(m_openHint, highlight);
    m_editionPrompt->setFont(guide::gothicFont(9.75, true));
    guide::setTextColour(m_editionPrompt, highlight);

    // Option buttons drawn as push buttons: one group, exactly one or none down.
    auto* editions = new QButtonGroup(this);
    for (QPushButton* option : m_editionButtons) {
        option->setCheckable(true);
        guide::setTextColour(option, highlight);
        editions->addButton(option);
    }
    // The chosen edition must show at a glance: filled in the highlight colour, white text.
    const QString pressed =
        QStringLiteral("QPushButton:checked { background-color: %1; color: white;"
                       " font-weight: bold; border: 1px solid %1; }")
            .arg(highlight.name());
    for (QPushButton* option : m_editionButtons) {
        option->setStyleSheet(pressed);
    }
    editions->setExclusive(true);

    for (std::size_t i = 0; i < m_editionButtons.size(); ++i) {
        connect(m_editionButtons[i], &QPushButton::clicked, this,
                [this, i] { chooseEdition(static_cast<int>(i)); });
    }
    connect(m_readButton, &QPushButton::clicked, this, &MainWindow::readPoints);
    connect(m_writeButton, &QPushButton::clicked, this, &MainWindow::writeScripts);
    connect(m_endButton, &QPushButton::clicked, this, &MainWindow::endProgram);
    connect(m_usageButton, &QPushButton::clicked, this, &MainWindow::showUsage);
    connect(m_previewButton, &QPushButton::clicked, this, [this] { openPreview(); });
    connect(m_folderButton, &QPushButton::clicked, this, &MainWindow::chooseOutputFolder);
    // Any edit of the sheet after a read makes the read out of date.
    connect(m_model, &QAbstractItemModel::dataChanged, this, &MainWindow::markSheetChanged);
    connect(m_session, &SessionAdapter::readStarted, this, [this] {
        m_progressBar->setVisible(true);
        m_progressCaption->setVisible(true);
        // The read does not return to the event loop until it ends: paint the display now.
        m_progressBar->repaint();
        m_progressCaption->repaint();
    });
    connect(m_session, &SessionAdapter::readProgress, this, &MainWindow::showProgress);
    connect(m_session, &SessionAdapter::readEnded, this, [this] {
        hideProgress();
        refreshPreview();
    });
    connect(m_session, &SessionAdapter::cellNamed, this, &MainWindow::selectCell);
    // The preview follows every change of paper, scale or angle.
    connect(m_paperList, &QComboBox::currentIndexChanged, this, &MainWindow::refreshPreview);
    connect(m_scaleList, &QComboBox::currentIndexChanged, this, &MainWindow::refreshPreview);
    connect(m_angleBox, &QLineEdit::textChanged, this, &MainWindow::refreshPreview);
    connect(m_worksheetIcon, &OleContainer::activated, this, [this] { openWorksheet(); });
    connect(m_drawingInfoButton, &QPushButton::clicked, this, &MainWindow::editDrawingInfo);
    connect(m_surveyMapBox, &QCheckBox::toggled, this, [this] {
        rememberChoices();
        refreshPreview();
    });
    connect(m_zoneList, &QComboBox::currentIndexChanged, this, [this] {
        rememberChoices();
        refreshPreview();
    });
    m_openHint->raise();
}

void MainWindow::loadCaptions() {
    setWindowTitle(QStringLiteral("AutoCad 測量図面カルメニオ"));
    m_paperList->setCurrentIndex(m_paperList->findData(fromStd(plan::kDefaultPaper)));
    m_scaleList->setCurrentIndex(m_scaleList->findData(fromStd(plan::kDefaultScale)));
    m_angleBox->setText(QStringLiteral("0.0000"));
    m_readButton->setText(QStringLiteral("座 標 読 込"));
    m_writeButton->setText(QStringLiteral(".SCR 出力"));
    m_endButton->setText(QStringLiteral("終　　　　了"));
    m_usageButton->setText(QStringLiteral("使用方法・説明"));
    m_previewButton->setText(QStringLiteral("図面プレビュー"));
    m_folderButton->setText(QStringLiteral("出力先…"));
    m_surveyMapBox->setText(QStringLiteral("地積測量図"));
    m_surveyMapBox->setToolTip(
        QStringLiteral("辺長・求積表・方位・表題欄を図面に加え、KYUSEKI.SCR も出力します"));
    m_drawingInfoButton->setText(QStringLiteral("図面情報…"));
    m_zoneCaption->setText(QStringLiteral("座標系 ："));
    m_zoneList->setToolTip(QStringLiteral("平面直角座標系（表題欄・GeoJSON・地図で確認）"));
    // The surveyor's last choices, as they were kept; taking one back must not store the other
    // before it is taken back too.
    const QSignalBlocker surveyMapQuiet(m_surveyMapBox);
    const QSignalBlocker zoneQuiet(m_zoneList);
    const QSettings store;
    m_surveyMapBox->setChecked(store.value(QString::fromLatin1(kSurveyMapKey), false).toBool());
    const int zone = m_zoneList->findData(store.value(QString::fromLatin1(kPlaneSystemKey), 0));
    m_zoneList->setCurrentIndex(zone >= 0 ? zone : 0);
    m_drawingInfoKey = DrawingInfoStore::keyOf(QString());
    m_paperCaption->setText(QStringLiteral("用紙設定 ："));
    m_angleCaption->setText(QStringLiteral("角度(UCS) ："));
    m_degreesPerRadianHolder->setText(fromStd(plan::kDegreesPerRadianText));
    m_progressCaption->setText(QStringLiteral("進捗状況"));
    m_scaleCaption->setText(QStringLiteral("縮尺設定 ："));
    m_openHint->setText(QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで起動"));
    m_editionHolder->setText(QString());
    m_editionPrompt->setText(QStringLiteral("バージョンを選んで下さい"));
    for (std::size_t i = 0; i < m_editionButtons.size(); ++i) {
        m_editionButtons[i]->setText(fromStd(plan::kEditions[i].buttonText));
    }
    m_progressBar->setVisible(false);
    m_progressCaption->setVisible(false);
}

void MainWindow::chooseEdition(int edition) {
    m_edition = plan::kEditions[static_cast<std::size_t>(edition)].code;
    // Shown in the window's background colour, where it has always stood.
    m_editionHolder->setText(fromStd(m_edition));
}

void MainWindow::selectAngleText() {
    m_angleBox->setSelection(0, static_cast<int>(m_angleBox->text().length()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_angleBox && event->type() == QEvent::FocusIn) {
        selectAngleText();
        // A mouse press places the cursor after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            QTimer::singleShot(0, m_angleBox, [this] { selectAngleText(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::commitWorksheetEdit() {
    if (m_worksheetWindow) {
        m_worksheetWindow->commitPendingEdit();
    }
}

void MainWindow::showProgress(float minimum, float maximum, float value) {
    m_progressBar->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
    m_progressBar->setValue(static_cast<int>(value));
}

void MainWindow::hideProgress() {
    m_progressBar->setVisible(false);
    m_progressCaption->setVisible(false);
}

void MainWindow::readPoints() {
    commitWorksheetEdit();
    applySettings();
    m_session->read();
}

void MainWindow::writeScripts() {
    commitWorksheetEdit();
    applySettings();
    m_session->write();
}

void MainWindow::markSheetChanged() {
    m_session->markSheetChanged();
    if (m_preview) {
        m_preview->setOutOfDate(m_session->job().hasRead());
    }
}

std::filesystem::path MainWindow::outputFolder() const {
    return m_session->outputFolder();
}

void MainWindow::chooseOutputFolder() {
    const QString current = QString::fromStdU16String(outputFolder().u16string());
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("出力先"), current);
    if (!chosen.isEmpty()) {
        setOutputFolder(chosen);
    }
}

void MainWindow::setOutputFolder(const QString& folder) {
    m_session->setOutputFolder(folder);
    m_folderButton->setToolTip(folder);
    if (m_preview) {
        m_preview->setSaveFolder(QString::fromStdU16String(outputFolder().u16string()));
    }
    if (m_usageWindow) {
        m_usageWindow->setOutputFolder(SessionAdapter::displayPath(outputFolder()));
    }
}

// The settings as the controls hold them at this moment, handed to the job.
void MainWindow::applySettings() {
    job::Settings settings;
    settings.edition = m_edition;
    // A list without a valid selection names no entry, which the job takes as the last run's.
    settings.paper = plan::findPaper(m_paperList->currentData().toString().toStdString());
    settings.scale = plan::findScale(m_scaleList->currentData().toString().toStdString());
    settings.angle = plan::RotationAngle(m_angleBox->text().toStdString());
    settings.surveyMap = m_surveyMapBox->isChecked();
    DrawingInfo info = DrawingInfoStore::load(m_drawingInfoKey);
    settings.map = std::move(info.map);
    settings.neighbours = std::move(info.neighbours);
    settings.subdivision = job::subdivisionOf(info.subdivision);
    settings.planeSystem = geodesy::planeSystem(m_zoneList->currentData().toInt());
    m_session->setSettings(std::move(settings));
}

void MainWindow::rememberChoices() {
    QSettings store;
    store.setValue(QString::fromLatin1(kSurveyMapKey), m_surveyMapBox->isChecked());
    store.setValue(QString::fromLatin1(kPlaneSystemKey), m_zoneList->currentData().toInt());
}

void MainWindow::setPointsFile(const QString& path) {
    m_drawingInfoKey = DrawingInfoStore::keyOf(path);
    m_pointsFile = path;
    if (m_preview) {
        m_preview->setPointsFile(path);
    }
    refreshPreview();
}

void MainWindow::editDrawingInfo() {
    DrawingInfoDialog dialog(DrawingInfoStore::load(m_drawingInfoKey),
                             m_session->session().parcelNames(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    DrawingInfoStore::save(m_drawingInfoKey, dialog.info());
    refreshPreview();
}

void MainWindow::endProgram() {
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::showUsage() {
    if (!m_usageWindow) {
        m_usageWindow = new guide::UsageWindow;
        connect(m_usageWindow, &guide::UsageWindow::closedByButton, this,
                &MainWindow::takeFocusBack);
        guide::centreOnScreen(m_usageWindow, this);
    }
    m_usageWindow->setOutputFolder(SessionAdapter::displayPath(outputFolder()));
    m_usageWindow->show();
    m_usageWindow->raise();
    m_usageWindow->activateWindow();
}

PreviewWindow* MainWindow::openPreview() {
    if (!m_preview) {
        m_preview = new PreviewWindow(m_session);
        m_preview->scene()->setCellText([this](double value, int row, int column) {
            return fromStd(spreadsheet::formatValue(
                spreadsheet::CellValue::number(value),
                m_session->job().sheet().layout().numberFormat(row, column)));
        });
        // Beside the main window, never over the two buttons the surveyor goes back to.
        placeClearOf(m_preview, QSize(480, 360), this, {m_readButton, m_writeButton});
        m_preview->setSaveFolder(QString::fromStdU16String(outputFolder().u16string()));
        m_preview->setPointsFile(m_pointsFile);
        connect(m_preview, &PreviewWindow::cellRequested, this, &MainWindow::selectCell);
        connect(m_preview, &PreviewWindow::pointClicked, this, [this](int slot) {
            const int row = points::kFirstDataRow + slot;
            selectCell(QStringLiteral("A%1").arg(row));
            m_worksheetWindow->view()->selectCells(row, 1, row, points::kLastDataColumn);
        });
        connect(m_preview, &PreviewWindow::suggestionApplied, this, &MainWindow::applySuggestion);
        connect(m_preview, &PreviewWindow::readRequested, this, &MainWindow::readPoints);
    }
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
    refreshPreview();
    return m_preview;
}

PreviewWindow* MainWindow::previewWindow() const {
    return m_preview;
}

void MainWindow::refreshPreview() {
    if (!m_preview || !m_preview->isVisible()) {
        return;
    }
    commitWorksheetEdit();
    applySettings();
    const job::Preview preview = m_session->session().preview();
    if (!preview.plan) {
        m_preview->showProblem(fromStd(preview.problem));
        return;
    }
    m_preview->setPlan(preview);
    m_preview->setOutOfDate(m_session->sheetChangedSinceRead());
}

void MainWindow::applySuggestion(const QString& paperToken, const QString& scaleToken) {
    m_paperList->setCurrentIndex(m_paperList->findData(paperToken));
    m_scaleList->setCurrentIndex(m_scaleList->findData(scaleToken));
}

void MainWindow::selectCell(const QString& cell) {
    const auto at = spreadsheet::parseCellName(cell.toStdString());
    if (!at) {
        return;
    }
    const auto [row, column] = *at;
    openWorksheet()->view()->showCell(row, column);
}

void MainWindow::takeFocusBack() {
    if (!isVisible()) {
        return;
    }
    activateWindow();
    raise();
    m_paperList->setFocus(Qt::OtherFocusReason);
}

WorksheetWindow* MainWindow::openWorksheet() {
    if (!m_worksheetWindow) {
        m_worksheetWindow = new WorksheetWindow(m_model, m_sink, nullptr, &m_session->session());
        connect(m_worksheetWindow, &WorksheetWindow::pointsFileOpened, this,
                &MainWindow::setPointsFile);
        // Beside the main window, not over its buttons and lists, and on its screen.
        placeBeside(m_worksheetWindow, m_worksheetWindow->widthForAllColumns(), this);
    }
    m_worksheetWindow->show();
    m_worksheetWindow->raise();
    m_worksheetWindow->activateWindow();
    return m_worksheetWindow;
}

const points::PointTable& MainWindow::pointTable() const {
    return m_session->job().table();
}

WorksheetWindow* MainWindow::worksheetWindow() const {
    return m_worksheetWindow;
}

guide::UsageWindow* MainWindow::usageWindow() const {
    return m_usageWindow;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        openWorksheet()->openPointsFile(urls.first().toLocalFile());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The worksheet belongs to this window; its edits stay in memory with the model.
    if (m_worksheetWindow) {
        m_worksheetWindow->close();
    }
    if (m_preview) {
        m_preview->close();
    }
    QWidget::closeEvent(event);
}

} // namespace karumenio::app

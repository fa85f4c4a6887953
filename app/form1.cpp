#include "form1.h"

#include "errortext.h"
#include "messageboxsink.h"
#include "olecontainer.h"
#include "planview.h"
#include "previewwindow.h"
#include "worksheetmodel.h"
#include "worksheetview.h"
#include "worksheetwindow.h"

#include "guide/form2.h"
#include "guide/formlook.h"
#include "job/job.h"
#include "plan/drawingscale.h"
#include "plan/edition.h"
#include "plan/papersize.h"
#include "points/formulaparser.h"
#include "points/reader.h"
#include "points/runtimeerror.h"
#include "scripts/atomicfileset.h"
#include "scripts/foldersession.h"
#include "scripts/scriptfolder.h"

#include <QApplication>
#include <QButtonGroup>
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
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QUrl>

namespace karumenio::app {

using guide::twips;

namespace {

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A label sized to its text whose right edge stays where the design put it.
void placeRightAlignedLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->adjustSize();
    const int right = twips(leftTwips + widthTwips);
    label->move(right - label->width(), twips(topTwips));
}

// A centred label that keeps its design width unless its text needs more, then widens evenly.
void placeCentredLabel(QLabel* label, int leftTwips, int topTwips, int widthTwips,
                       int heightTwips) {
    label->setAlignment(Qt::AlignCenter);
    const int width = std::max(twips(widthTwips), label->sizeHint().width());
    const int height = std::max(twips(heightTwips), label->sizeHint().height());
    const int centre = twips(leftTwips) + twips(widthTwips) / 2;
    label->setGeometry(centre - width / 2, twips(topTwips), width, height);
}

// A write into the folder that was interrupted (a crash, a kill) is finished or undone before
// anything else uses the folder; only a folder holding a journal is touched.
void recoverFolder(MessageSink* sink, QWidget* parent, const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(
            folder / scripts::AtomicFileSet::kJournalName, error))) {
        return;
    }
    const QString title = QStringLiteral("SCR作成");
    try {
        const scripts::FolderSession session(folder, scripts::outputFolderScope());
        for (const std::string& line : session.recovered()) {
            sink->information(parent, title, fromStd(line));
        }
    } catch (const std::exception& failure) {
        sink->warning(parent, title, errorText(failure));
    }
}

} // namespace

Form1::Form1(MessageSink* sink, QWidget* parent)
    : QWidget(parent), m_job(std::make_unique<job::Job>()) {
    if (!sink) {
        m_ownSink = std::make_unique<MessageBoxSink>();
        sink = m_ownSink.get();
    }
    m_sink = sink;
    m_model = new WorksheetModel(m_job->sheet(), this);

    setObjectName(QStringLiteral("Form1"));
    setAcceptDrops(true);
    setFont(guide::gothicFont(9));
    // Taller than the design by the preview button below the progress display.
    guide::setupFixedWindow(this, 3735, 7335);
    createControls();
    Form_Load();

    // Sizes that follow the texts, which exist only after the load handler.
    placeRightAlignedLabel(Label1, 720, 2955, 495);
    placeRightAlignedLabel(Label2, 720, 3660, 495);
    placeRightAlignedLabel(Label5, 720, 3315, 495);
    guide::placeAutoSizeLabel(Label4, 120, 6240);
    placeCentredLabel(Label8, 720, 720, 2295, 255);
    Label6->resize(std::max(Label6->width(), Label6->sizeHint().width()), Label6->height());
    Command4->setFocus();
    QTimer::singleShot(0, this, [this] { recoverFolder(m_sink, this, outputFolder()); });
}

Form1::~Form1() {
    delete m_worksheetWindow;
    delete m_preview;
}

void Form1::createControls() {
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
    Command4 = button("Command4", 360, 120, 3015, 375);
    Combo1 = combo("Combo1", 1320, 2880, plan::kPaperSizes);
    Combo2 = combo("Combo2", 1320, 3240, plan::kDrawingScales);
    Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(1320), twips(3600), twips(1215), twips(270));
    Text1->installEventFilter(this);
    OLE1 = new OleContainer(this);
    OLE1->setObjectName(QStringLiteral("OLE1"));
    OLE1->setGeometry(twips(1200), twips(4080), twips(1455), twips(975));
    Command1 = button("Command1", 1200, 5040, 1455, 375);
    Command2 = button("Command2", 1200, 5520, 1455, 375);
    Label1 = label("Label1", 720, 2955, 495, 180);
    Label2 = label("Label2", 720, 3660, 495, 180);
    Label3 = label("Label3", 3000, 5400, 495, 255);
    Command3 = button("Command3", 1200, 6000, 1455, 375);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(twips(120), twips(6480), twips(3495), twips(255));
    ProgressBar1->setTextVisible(false);
    Label4 = label("Label4", 120, 6240, 495, 180);
    Label5 = label("Label5", 720, 3315, 495, 180);
    Label6 = label("Label6", 1200, 4560, 1455, 495);
    // One edition button per entry of the edition table, 360 twips apart.
    for (std::size_t i = 0; i < plan::kEditions.size(); ++i) {
        const std::string name = "Option" + std::to_string(i + 1);
        m_options.push_back(button(name.c_str(), 1200, 960 + 360 * static_cast<int>(i), 1455, 300));
    }
    Label7 = label("Label7", 2880, 6000, 615, 255);
    Label8 = label("Label8", 720, 720, 2295, 255);
    Command5 = button("Command5", 120, 6840, 1695, 375);
    Command6 = button("Command6", 1920, 6840, 1695, 375);

    std::vector<QWidget*> order = {Command4, Combo1,   Combo2,   Text1,
                                   OLE1,     Command1, Command2, Command3};
    order.insert(order.end(), m_options.begin(), m_options.end());
    order.push_back(Command5);
    order.push_back(Command6);
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // Value holders: their text is drawn in the window's own background colour.
    const QColor background = palette().color(QPalette::Window);
    guide::setTextColour(Label3, background);
    guide::setTextColour(Label7, background);

    const QColor highlight = guide::highlightColour();
    Label6->setFont(guide::gothicFont(9.75));
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label6->setAttribute(Qt::WA_TransparentForMouseEvents);
    guide::setTextColour(Label6, highlight);
    Label8->setFont(guide::gothicFont(9.75, true));
    guide::setTextColour(Label8, highlight);

    // Option buttons drawn as push buttons: one group, exactly one or none down.
    auto* editions = new QButtonGroup(this);
    for (QPushButton* option : m_options) {
        option->setCheckable(true);
        guide::setTextColour(option, highlight);
        editions->addButton(option);
    }
    // The chosen edition must show at a glance: filled in the highlight colour, white text.
    const QString pressed =
        QStringLiteral("QPushButton:checked { background-color: %1; color: white;"
                       " font-weight: bold; border: 1px solid %1; }")
            .arg(highlight.name());
    for (QPushButton* option : m_options) {
        option->setStyleSheet(pressed);
    }
    editions->setExclusive(true);

    for (std::size_t i = 0; i < m_options.size(); ++i) {
        connect(m_options[i], &QPushButton::clicked, this,
                [this, i] { Option_Click(static_cast<int>(i)); });
    }
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    // Any edit of the sheet after a read makes the read out of date.
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this] { m_sheetChangedSinceRead = true; });
    // The preview follows every change of paper, scale or angle.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Form1::refreshPreview);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &Form1::refreshPreview);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::refreshPreview);
    connect(OLE1, &OleContainer::activated, this, &Form1::OLE1_Activate);
    Label6->raise();
}

void Form1::Form_Load() {
    setWindowTitle(QStringLiteral("AutoCad 測量図面カルメニオ"));
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
    Text1->setText(QStringLiteral("0.0000"));
    Command1->setText(QStringLiteral("座 標 読 込"));
    Command2->setText(QStringLiteral(".SCR 出力"));
    Command3->setText(QStringLiteral("終　　　　了"));
    Command4->setText(QStringLiteral("使用方法・説明"));
    Command5->setText(QStringLiteral("図面プレビュー"));
    Command6->setText(QStringLiteral("出力先…"));
    Label1->setText(QStringLiteral("用紙設定 ："));
    Label2->setText(QStringLiteral("角度(UCS) ："));
    Label3->setText(fromStd(plan::kDegreesPerRadianText));
    Label4->setText(QStringLiteral("進捗状況"));
    Label5->setText(QStringLiteral("縮尺設定 ："));
    Label6->setText(QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで起動"));
    Label7->setText(QString());
    Label8->setText(QStringLiteral("バージョンを選んで下さい"));
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        m_options[i]->setText(fromStd(plan::kEditions[i].buttonText));
    }
    ProgressBar1->setVisible(false);
    Label4->setVisible(false);
}

void Form1::Option_Click(int edition) {
    Label7->setText(fromStd(plan::kEditions[static_cast<std::size_t>(edition)].code));
}

void Form1::Text1_GotFocus() {
    Text1->setSelection(0, static_cast<int>(Text1->text().length()));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusIn) {
        Text1_GotFocus();
        // A mouse press places the cursor after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            QTimer::singleShot(0, Text1, [this] { Text1_GotFocus(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::commitWorksheetEdit() {
    if (m_worksheetWindow) {
        m_worksheetWindow->commitPendingEdit();
    }
}

void Form1::showProgress(float minimum, float maximum, float value) {
    ProgressBar1->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
    ProgressBar1->setValue(static_cast<int>(value));
}

void Form1::hideProgress() {
    ProgressBar1->setVisible(false);
    Label4->setVisible(false);
}

void Form1::Command1_Click() {
    commitWorksheetEdit();
    ProgressBar1->setVisible(true);
    Label4->setVisible(true);
    // The read does not return to the event loop until it ends: paint the display now.
    ProgressBar1->repaint();
    Label4->repaint();
    const QString title = fromStd(points::kReadTitle);
    try {
        m_job->read([this](float minimum, float maximum, float value) {
            showProgress(minimum, maximum, value);
        });
    } catch (const std::exception& error) {
        hideProgress();
        refreshPreview();
        reportFailure(title, error);
        return;
    }
    m_sheetChangedSinceRead = false;
    hideProgress();
    refreshPreview();
    QString message = fromStd(m_job->lastRead().message());
    // A coordinate that is not a number would only stop the write; say so now.
    const std::vector<std::string> textCells = m_job->textCoordinateCells();
    if (textCells.empty()) {
        m_sink->information(this, title, message);
        return;
    }
    QStringList cells;
    for (const std::string& cell : textCells) {
        cells.append(fromStd(cell));
    }
    message +=
        QStringLiteral("\n\n次のセルの座標が数値ではありません。直してから読み込み直して下さい: %1")
            .arg(cells.join(QStringLiteral("、")));
    selectCell(cells.first());
    m_sink->warning(this, title, message);
}

void Form1::Command2_Click() {
    commitWorksheetEdit();
    applySettings();
    const QString title = fromStd(scripts::kCompletionTitle);

    // The frame follows the sheet while the points follow the read: never mix two jobs.
    if (m_job->hasRead() && m_sheetChangedSinceRead) {
        const int answer = m_sink->question(
            this, title,
            QStringLiteral("ワークシートは最後の「座 標 読 込」の後に変更されています。"),
            {QStringLiteral("読み込み直して出力"), QStringLiteral("読み込んだ座標で出力"),
             QStringLiteral("キャンセル")});
        if (answer == 0) {
            Command1_Click();
            if (!m_job->hasRead() || m_sheetChangedSinceRead) {
                return;
            }
        } else if (answer != 1) {
            return;
        }
    }

    scripts::WriteReport report;
    std::filesystem::path folder;
    try {
        folder = outputFolder();
        report = m_job->write(folder);
    } catch (const std::exception& error) {
        reportFailure(title, error);
        return;
    }
    // What the surveyor should know about the files comes with the completion, not after it.
    QString message = fromStd(scripts::completionMessage(folder));
    for (const std::string& warning : report.warnings) {
        message += QLatin1Char('\n') + fromStd(warning);
    }
    if (report.warnings.empty()) {
        m_sink->information(this, title, message);
    } else {
        m_sink->warning(this, title, message);
    }
}

void Form1::reportFailure(const QString& title, const std::exception& error) {
    if (const auto* runTime = dynamic_cast<const points::RunTimeError*>(&error);
        runTime != nullptr && !runTime->cell().empty()) {
        selectCell(fromStd(runTime->cell()));
    }
    m_sink->warning(this, title, errorText(error));
}

std::filesystem::path Form1::outputFolder() const {
    // The environment decides for tests; then the surveyor's choice; then drive C.
    if (!qEnvironmentVariableIsEmpty("KARUMENIO_DRIVE_C")) {
        return scripts::defaultScriptFolder();
    }
    const QString chosen = QSettings().value(QStringLiteral("outputFolder")).toString();
    if (!chosen.isEmpty()) {
        return std::filesystem::path(chosen.toStdU16String());
    }
    return scripts::defaultScriptFolder();
}

void Form1::Command6_Click() {
    const QString current = QString::fromStdU16String(outputFolder().u16string());
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("出力先"), current);
    if (!chosen.isEmpty()) {
        setOutputFolder(chosen);
    }
}

void Form1::setOutputFolder(const QString& folder) {
    QSettings().setValue(QStringLiteral("outputFolder"), folder);
    Command6->setToolTip(folder);
    recoverFolder(m_sink, this, std::filesystem::path(folder.toStdU16String()));
}

// The settings as the controls hold them at this moment.
void Form1::applySettings() {
    plan::Settings& settings = m_job->settings();
    settings.versionCode = Label7->text().toStdString();
    // A list without a valid selection names no entry: the previous run's values stay.
    settings.paper = plan::findPaper(Combo1->currentData().toString().toStdString());
    settings.scale = plan::findScale(Combo2->currentData().toString().toStdString());
    settings.angleText = Text1->text().toStdString();
    settings.degreesPerRadianText = Label3->text().toStdString();
}

void Form1::Command3_Click() {
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void Form1::Command4_Click() {
    if (!m_usageWindow) {
        m_usageWindow = new guide::Form2;
        connect(m_usageWindow, &guide::Form2::closedByButton, this, &Form1::takeFocusBack);
    }
    m_usageWindow->show();
    m_usageWindow->raise();
    m_usageWindow->activateWindow();
}

void Form1::Command5_Click() {
    openPreview();
}

PreviewWindow* Form1::openPreview() {
    if (!m_preview) {
        m_preview = new PreviewWindow(m_sink);
        connect(m_preview, &PreviewWindow::cellRequested, this, &Form1::selectCell);
        connect(m_preview, &PreviewWindow::pointClicked, this, [this](int slot) {
            const int row = points::kFirstDataRow + slot;
            selectCell(QStringLiteral("A%1").arg(row));
            m_worksheetWindow->view()->selectCells(row, 1, row, points::kMarkRadiusColumn);
        });
        connect(m_preview, &PreviewWindow::suggestionApplied, this, &Form1::applySuggestion);
    }
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
    refreshPreview();
    return m_preview;
}

PreviewWindow* Form1::previewWindow() const {
    return m_preview;
}

void Form1::refreshPreview() {
    if (!m_preview || !m_preview->isVisible()) {
        return;
    }
    commitWorksheetEdit();
    applySettings();
    if (!m_job->hasRead()) {
        m_preview->showProblem(QStringLiteral("座標が読み込まれていません。"
                                              "「座 標 読 込」を押すと図面を表示します。"));
        return;
    }
    try {
        m_preview->setPlan(m_job->plan());
    } catch (const std::exception& error) {
        m_preview->showProblem(errorText(error));
    }
}

void Form1::applySuggestion(const QString& paperToken, const QString& scaleToken) {
    Combo1->setCurrentIndex(Combo1->findData(paperToken));
    Combo2->setCurrentIndex(Combo2->findData(scaleToken));
}

void Form1::selectCell(const QString& cell) {
    const auto at = points::parseCellName(cell.toStdString());
    if (!at) {
        return;
    }
    const auto [row, column] = *at;
    WorksheetView* view = openWorksheet()->view();
    view->selectCells(row, column, row, column);
    view->scrollTo(view->model()->index(row - 1, column - 1), QAbstractItemView::PositionAtCenter);
}

void Form1::takeFocusBack() {
    if (!isVisible()) {
        return;
    }
    activateWindow();
    raise();
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Form1::OLE1_Activate() {
    openWorksheet();
}

WorksheetWindow* Form1::openWorksheet() {
    if (!m_worksheetWindow) {
        m_worksheetWindow = new WorksheetWindow(m_model, m_sink, nullptr, m_job.get());
        // Beside the main window, not over its buttons and lists.
        const QRect main = frameGeometry();
        m_worksheetWindow->move(main.right() + 8, main.top());
    }
    m_worksheetWindow->show();
    m_worksheetWindow->raise();
    m_worksheetWindow->activateWindow();
    return m_worksheetWindow;
}

const points::PointTable& Form1::pointTable() const {
    return m_job->table();
}

WorksheetWindow* Form1::worksheetWindow() const {
    return m_worksheetWindow;
}

guide::Form2* Form1::usageWindow() const {
    return m_usageWindow;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        openWorksheet()->openPointsFile(urls.first().toLocalFile());
    }
}

void Form1::closeEvent(QCloseEvent* event) {
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

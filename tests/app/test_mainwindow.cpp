#include "recordingsink.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/worksheetwindow.h"
#include "geodesy/planesystem.h"
#include "guide/examplewindow.h"
#include "guide/formlook.h"
#include "guide/usagewindow.h"
#include "plan/drawingscale.h"
#include "plan/papersize.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QtTest>

using karumenio::app::MainWindow;
using karumenio::guide::ExampleWindow;
using karumenio::guide::UsageWindow;

namespace {

using Fields = QMap<QString, QString>;

template <typename T> QList<T*> visibleWindows() {
    QList<T*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(widget); window && window->isVisible()) {
            found.append(window);
        }
    }
    return found;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void loadDefaults();
    void valueHoldersNeverShow();
    void windowIsFixedAndIconed();
    void optionCodes_data();
    void optionCodes();
    void angleBoxSelectsOnFocus_data();
    void angleBoxSelectsOnFocus();
    void usageWindowOpensOnce();
    void exampleWindowOpensOnce();
    void closeButtonReturnsFocus();
    void closeButtonWithoutMainWindow();
    void guideLabelsShowWholeText_data();
    void guideLabelsShowWholeText();
    void japaneseFontsAreMapped();
    void endButtonClosesEveryWindow();
    void usageWindowHasASecondPage();
    void fileDialogsSpeakJapanese_data();
    void fileDialogsSpeakJapanese();
    void surveyMapAndSystemAreRemembered();
    void drawingInfoIsKeptPerPointsFile();
    void subdivisionIsCheckedAsTheCommandLineChecksIt_data();
    void subdivisionIsCheckedAsTheCommandLineChecksIt();

  private:
    template <typename T> T* child(const char* name) {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            qFatal("no control %s", name);
        }
        return found;
    }

    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
};

// The survey map's choices as a first start finds them.
void forgetSurveyMapChoices() {
    QSettings store;
    for (const char* key : {"surveyMap", "planeSystem", "drawingInfo"}) {
        store.remove(QString::fromLatin1(key));
    }
}

// Fills the 図面情報 dialog once it is open, with the fields named, and presses its button.
struct DialogStep {
    QMap<QString, QString> enter;
    QDialogButtonBox::StandardButton press = QDialogButtonBox::Ok;
    // What the fields held when the dialog opened, and whether it stayed open after the press.
    QMap<QString, QString> found;
    bool refused = false;
    QString problem;
};

void runDrawingInfoDialog(QPushButton* button, DialogStep& step) {
    QTimer::singleShot(0, [&step] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("図面情報"));
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            if (!edit->objectName().isEmpty()) {
                step.found[edit->objectName()] = edit->text();
            }
        }
        // A list's choice by its token; one that may be typed in, by its text, with its entries.
        for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
            if (list->isEditable()) {
                step.found[list->objectName()] = list->currentText();
                QStringList entries;
                for (int i = 0; i < list->count(); ++i) {
                    entries << list->itemText(i);
                }
                step.found[list->objectName() + QStringLiteral(".entries")] =
                    entries.join(QLatin1Char('|'));
            } else {
                step.found[list->objectName()] = list->currentData().toString();
            }
        }
        auto* neighbours = dialog->findChild<QPlainTextEdit*>(QStringLiteral("neighbours"));
        step.found[QStringLiteral("neighbours")] = neighbours->toPlainText();
        for (auto it = step.enter.cbegin(); it != step.enter.cend(); ++it) {
            if (auto* list = dialog->findChild<QComboBox*>(it.key())) {
                if (list->isEditable()) {
                    list->setCurrentText(it.value());
                } else {
                    list->setCurrentIndex(list->findData(it.value()));
                }
            } else if (it.key() == QStringLiteral("neighbours")) {
                neighbours->setPlainText(it.value());
            } else {
                dialog->findChild<QLineEdit*>(it.key())->setText(it.value());
            }
        }
        dialog->findChild<QDialogButtonBox*>()->button(step.press)->click();
        step.refused = dialog->isVisible();
        step.problem = dialog->findChild<QLabel*>(QStringLiteral("problem"))->text();
        if (step.refused) {
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        }
    });
    button->click();
}

void TestMainWindow::init() {
    forgetSurveyMapChoices();
    m_sink.messages.clear();
    m_form = new MainWindow(&m_sink);
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestMainWindow::cleanup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<UsageWindow*>(widget) || qobject_cast<ExampleWindow*>(widget)) {
            widget->close();
        }
    }
    delete m_form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMainWindow::loadDefaults() {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("AutoCad 測量図面カルメニオ"));
    QCOMPARE(child<QComboBox>("paperList")->currentText(), QStringLiteral("A1"));
    // The lists show the tables' texts, each item carrying its token.
    const auto itemOf = [this](const char* list, const char* token) {
        auto* combo = child<QComboBox>(list);
        return combo->itemText(combo->findData(QString::fromLatin1(token)));
    };
    QCOMPARE(child<QComboBox>("paperList")->count(), int(karumenio::plan::kPaperSizes.size()));
    QCOMPARE(itemOf("paperList", "A4P"), QStringLiteral("A4（縦）"));
    QCOMPARE(itemOf("paperList", "B4P"), QStringLiteral("B4（縦）"));
    QCOMPARE(child<QComboBox>("scaleList")->currentText(), QStringLiteral("1:100"));
    QCOMPARE(child<QComboBox>("scaleList")->count(), int(karumenio::plan::kDrawingScales.size()));
    QCOMPARE(itemOf("scaleList", "250"), QStringLiteral("1:250"));
    QCOMPARE(child<QLineEdit>("angleBox")->text(), QStringLiteral("0.0000"));
    QCOMPARE(child<QLabel>("editionHolder")->text(), QString());
    QCOMPARE(child<QLabel>("editionPrompt")->text(), QStringLiteral("バージョンを選んで下さい"));
    QCOMPARE(child<QLabel>("openHint")->text(), QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで起動"));
    QCOMPARE(child<QPushButton>("endButton")->text(), QStringLiteral("終　　　　了"));
    for (const char* name :
         {"edition97", "edition98", "edition2000", "edition2002", "edition20001"}) {
        QVERIFY2(!child<QPushButton>(name)->isChecked(), name);
    }
    QVERIFY(!child<QProgressBar>("progressBar")->isVisible());
    QVERIFY(!child<QLabel>("progressCaption")->isVisible());
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>("usageButton"));
}

void TestMainWindow::valueHoldersNeverShow() {
    for (const char* name : {"degreesPerRadianHolder", "editionHolder"}) {
        const QLabel* label = child<QLabel>(name);
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 m_form->palette().color(QPalette::Window));
    }
    // Whatever they hold, their pixels are the window's background.
    child<QPushButton>("edition20001")->click();
    QCOMPARE(child<QLabel>("editionHolder")->text(), QStringLiteral("20001"));
    const QImage window = m_form->grab().toImage();
    const QRgb background = m_form->palette().color(QPalette::Window).rgb();
    for (const char* name : {"degreesPerRadianHolder", "editionHolder"}) {
        const QRect area = child<QLabel>(name)->geometry().intersected(m_form->rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                QVERIFY2(window.pixel(x, y) == background, name);
            }
        }
    }
}

void TestMainWindow::windowIsFixedAndIconed() {
    // The design's height; the width grows to the title where the screen has room.
    QCOMPARE(m_form->height(), 553);
    QVERIFY(m_form->width() >= 249);
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_form->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
             karumenio::guide::programIconImage().convertToFormat(QImage::Format_ARGB32));
    // The icon installed with the program is the one the windows draw.
    const QImage installed(QStringLiteral(KARUMENIO_SOURCE_DIR "/guide/karumenio.png"));
    QCOMPARE(installed.convertToFormat(QImage::Format_ARGB32),
             karumenio::guide::programIconImage().convertToFormat(QImage::Format_ARGB32));
}

void TestMainWindow::optionCodes_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("down");
    QTest::newRow("LT 97") << QStringList{"edition97"} << "97"
                           << "edition97";
    QTest::newRow("LT 98") << QStringList{"edition98"} << "98"
                           << "edition98";
    QTest::newRow("LT 2000") << QStringList{"edition2000"} << "2000"
                             << "edition2000";
    QTest::newRow("LT 2002") << QStringList{"edition2002"} << "2002"
                             << "edition2002";
    QTest::newRow("2000(R) is 20001, not 2000") << QStringList{"edition20001"} << "20001"
                                                << "edition20001";
    QTest::newRow("2000(R) then LT 2000") << QStringList{"edition20001", "edition2000"} << "2000"
                                          << "edition2000";
    QTest::newRow("same button twice stays down")
        << QStringList{"edition2002", "edition2002"} << "2002"
        << "edition2002";
}

void TestMainWindow::optionCodes() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, code);
    QFETCH(QString, down);
    for (const QString& name : clicks) {
        QTest::mouseClick(child<QPushButton>(qPrintable(name)), Qt::LeftButton);
    }
    QCOMPARE(child<QLabel>("editionHolder")->text(), code);
    for (const char* name :
         {"edition97", "edition98", "edition2000", "edition2002", "edition20001"}) {
        QCOMPARE(child<QPushButton>(name)->isChecked(), down == QLatin1String(name));
    }
}

void TestMainWindow::angleBoxSelectsOnFocus_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::newRow("default text, Tab from the scale list") << QString() << "tab";
    QTest::newRow("typed angle, Tab from the scale list") << "130.1001"
                                                          << "tab";
    QTest::newRow("default text, Shift+Tab from the worksheet icon") << QString() << "backtab";
    QTest::newRow("typed angle, mouse click") << "30.1500"
                                              << "mouse";
}

void TestMainWindow::angleBoxSelectsOnFocus() {
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QLineEdit* text1 = child<QLineEdit>("angleBox");
    if (!typed.isEmpty()) {
        text1->setFocus();
        text1->selectAll();
        QTest::keyClicks(text1, typed);
        QCOMPARE(text1->text(), typed);
    }
    const QString expected = text1->text();
    if (how == QLatin1String("tab")) {
        child<QComboBox>("scaleList")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (how == QLatin1String("backtab")) {
        m_form->findChild<QWidget*>(QStringLiteral("worksheetIcon"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    } else {
        child<QPushButton>("usageButton")->setFocus();
        QTest::mouseClick(text1, Qt::LeftButton, {}, QPoint(4, text1->height() / 2));
        QCoreApplication::processEvents();
    }
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->selectedText(), expected);
    // Typing replaces the whole angle.
    QTest::keyClicks(text1, QStringLiteral("45.0000"));
    QCOMPARE(text1->text(), QStringLiteral("45.0000"));
}

void TestMainWindow::usageWindowOpensOnce() {
    QPushButton* command4 = child<QPushButton>("usageButton");
    QTest::mouseClick(command4, Qt::LeftButton);
    UsageWindow* first = m_form->usageWindow();
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("使用方法・説明"));
    QTest::mouseClick(command4, Qt::LeftButton);
    QCOMPARE(m_form->usageWindow(), first);
    QCOMPARE(visibleWindows<UsageWindow>().size(), 1);
    // The main window stays usable while the usage window is open.
    QTest::mouseClick(child<QPushButton>("edition97"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("editionHolder")->text(), QStringLiteral("97"));
}

void TestMainWindow::exampleWindowOpensOnce() {
    QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
    UsageWindow* usage = m_form->usageWindow();
    auto* explain = usage->findChild<QPushButton*>(QStringLiteral("exampleButton"));
    QCOMPARE(explain->text(), QStringLiteral("Excelでの説明"));
    QVERIFY(QTest::qWaitForWindowActive(usage));
    QCOMPARE(QApplication::focusWidget(), explain);
    QTest::mouseClick(explain, Qt::LeftButton);
    QTest::mouseClick(explain, Qt::LeftButton);
    const QList<ExampleWindow*> examples = visibleWindows<ExampleWindow>();
    QCOMPARE(examples.size(), 1);
    QCOMPARE(examples.first()->windowTitle(), QStringLiteral("Excelへの貼り付け例"));
    const auto* picture = examples.first()->findChild<QLabel*>(QStringLiteral("picture"));
    QCOMPARE(picture->pixmap().size(), QSize(623, 251));
}

void TestMainWindow::closeButtonReturnsFocus() {
    QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
    QPointer<UsageWindow> usage = m_form->usageWindow();
    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("exampleButton")),
                      Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(visibleWindows<ExampleWindow>().value(0)));

    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(usage.isNull());
    // Only the usage window closes; the example window stays open.
    QCOMPARE(visibleWindows<ExampleWindow>().size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>("paperList"));
}

void TestMainWindow::closeButtonWithoutMainWindow() {
    QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
    QPointer<UsageWindow> usage = m_form->usageWindow();
    m_form->close();
    delete m_form;
    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(usage.isNull());
}

void TestMainWindow::guideLabelsShowWholeText_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("usage window") << "usage";
    QTest::newRow("example window") << "example";
    QTest::newRow("main window") << "main";
}

void TestMainWindow::guideLabelsShowWholeText() {
    QFETCH(QString, window);
    QWidget* form = m_form;
    if (window != QLatin1String("main")) {
        QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
        form = m_form->usageWindow();
        if (window == QLatin1String("example")) {
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("exampleButton")),
                              Qt::LeftButton);
            form = visibleWindows<ExampleWindow>().value(0);
        }
    }
    QVERIFY(form);
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        // The value holders are invisible by design and may be cut.
        if (label->objectName() == QLatin1String("degreesPerRadianHolder") &&
            window == QLatin1String("main")) {
            continue;
        }
        if (!label->pixmap().isNull() || label->text().isEmpty()) {
            continue;
        }
        const QString name = label->objectName();
        QVERIFY2(label->text() != name, qPrintable(name + " kept its design caption"));
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                 qPrintable(name));
        QVERIFY2(label->geometry().right() < form->width(), qPrintable(name));
    }
}

void TestMainWindow::japaneseFontsAreMapped() {
    for (const QFont& font : {karumenio::guide::gothicFont(9), karumenio::guide::minchoFont(12)}) {
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.inFontUcs4(U'座'), qPrintable(QFontInfo(font).family()));
        QVERIFY2(metrics.inFontUcs4(U'ﾀ'), qPrintable(QFontInfo(font).family()));
    }
}

void TestMainWindow::endButtonClosesEveryWindow() {
    QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
    QTest::mouseClick(
        m_form->usageWindow()->findChild<QPushButton*>(QStringLiteral("exampleButton")),
        Qt::LeftButton);
    m_form->openWorksheet();
    QTest::mouseClick(child<QPushButton>("endButton"), Qt::LeftButton);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }
}

void TestMainWindow::usageWindowHasASecondPage() {
    qputenv("KARUMENIO_DRIVE_C", "/srv/survey/scripts");
    QTest::mouseClick(child<QPushButton>("usageButton"), Qt::LeftButton);
    qunsetenv("KARUMENIO_DRIVE_C");
    UsageWindow* usage = m_form->usageWindow();
    auto* steps = usage->findChild<QLabel*>(QStringLiteral("stepWrite"));
    auto* next = usage->findChild<QPushButton*>(QStringLiteral("pageButton"));
    auto* more = usage->findChild<QTextBrowser*>(QStringLiteral("morePage"));
    QVERIFY(steps && next && more);
    QVERIFY(steps->isVisible());
    QVERIFY(!more->isVisible());
    QCOMPARE(next->text(), QStringLiteral("次へ"));

    QTest::mouseClick(next, Qt::LeftButton);
    QVERIFY(!steps->isVisible());
    QVERIFY(more->isVisible());
    const QString text = more->toPlainText();
    // Each thing the steps do not tell, and the folder the scripts go to on this machine.
    for (const QString& part :
         {QStringLiteral("図面プレビュー"), QStringLiteral("DXF 出力…"),
          QStringLiteral("PDF 出力…"), QStringLiteral("出力先…"),
          QStringLiteral("座標ファイルを開く…"), QStringLiteral("ドラッグ"),
          QStringLiteral("新しい座標表"), QStringLiteral("元に戻す"), QStringLiteral("地積測量図"),
          QStringLiteral("図面情報…"), QStringLiteral("座標系"), QStringLiteral("地図で確認"),
          QStringLiteral("GeoJSON 出力…"), QStringLiteral("Ctrl+End"),
          QStringLiteral("/srv/survey/scripts")}) {
        QVERIFY2(text.contains(part), qPrintable(part));
    }
    for (const int number : {6, 9, 13, 75, 91}) {
        QVERIFY2(text.contains(QStringLiteral("%1\t").arg(number)) ||
                     text.contains(QStringLiteral("%1\n").arg(number)),
                 qPrintable(QString::number(number)));
    }
    // The page fits the window above the buttons.
    QVERIFY(more->geometry().bottom() < next->geometry().top());

    QCOMPARE(next->text(), QStringLiteral("戻る"));
    QTest::mouseClick(next, Qt::LeftButton);
    QVERIFY(steps->isVisible());
    QVERIFY(!more->isVisible());
}

void TestMainWindow::fileDialogsSpeakJapanese_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("open a points file") << int(QFileDialog::AcceptOpen);
    QTest::newRow("save an export") << int(QFileDialog::AcceptSave);
    QTest::newRow("choose the output folder") << -1;
}

void TestMainWindow::fileDialogsSpeakJapanese() {
    QFETCH(int, mode);
    // Qt's own dialog, as on a desktop without a native one.
    QFileDialog dialog(m_form);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (mode < 0) {
        dialog.setFileMode(QFileDialog::Directory);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptMode(mode));
    }
    dialog.show();
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->buttons().size(), 2);
    for (const QAbstractButton* button : buttons->buttons()) {
        QVERIFY2(button->text().contains(japanese), qPrintable(button->text()));
    }
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        const auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label && label->text().contains(japanese),
                 qPrintable(label ? label->text() : QString::fromLatin1(name)));
    }
}

void TestMainWindow::surveyMapAndSystemAreRemembered() {
    auto* box = child<QCheckBox>("surveyMapBox");
    auto* zones = child<QComboBox>("zoneList");
    QCOMPARE(box->text(), QStringLiteral("地積測量図"));
    QVERIFY(!box->isChecked());
    QCOMPARE(zones->currentText(), QStringLiteral("なし"));
    // なし, then every system.
    const auto& last = karumenio::geodesy::planeSystems().back();
    QCOMPARE(zones->count(), static_cast<int>(karumenio::geodesy::planeSystems().size()) + 1);
    QCOMPARE(zones->itemText(zones->findData(last.number)),
             QString::fromStdString(karumenio::geodesy::systemLabel(last)));
    box->setChecked(true);
    zones->setCurrentIndex(zones->findData(9));
    delete m_form;
    m_form = new MainWindow(&m_sink);
    QVERIFY(child<QCheckBox>("surveyMapBox")->isChecked());
    QCOMPARE(child<QComboBox>("zoneList")->currentText(), QStringLiteral("第IX系"));
    // Put back as the surveyor can: the next start follows again.
    child<QCheckBox>("surveyMapBox")->setChecked(false);
    child<QComboBox>("zoneList")->setCurrentIndex(0);
    delete m_form;
    m_form = new MainWindow(&m_sink);
    QVERIFY(!child<QCheckBox>("surveyMapBox")->isChecked());
    QCOMPARE(child<QComboBox>("zoneList")->currentData().toInt(), 0);
}

void TestMainWindow::drawingInfoIsKeptPerPointsFile() {
    auto* button = child<QPushButton>("drawingInfoButton");
    QCOMPARE(button->text(), QStringLiteral("図面情報…"));
    m_form->setPointsFile(QStringLiteral("/surveys/a.sim"));
    DialogStep first;
    first.enter = {
        {QStringLiteral("location"), QStringLiteral("八王子市元本郷町")},
        {QStringLiteral("date"), QStringLiteral("2025-04-01")},
        {QStringLiteral("surveyDate"), QStringLiteral("2025-03-20")},
        {QStringLiteral("applicant"), QStringLiteral("山田 花子")},
        {QStringLiteral("surveyor"), QStringLiteral("測量 太郎")},
        {QStringLiteral("neighbours"), QStringLiteral(" 670番:No.3-No.4\n\n道路：No.4-No.2")},
        {QStringLiteral("landCategory"), QStringLiteral("その他")}};
    runDrawingInfoDialog(button, first);
    QVERIFY(!first.refused);
    QCOMPARE(first.found.value(QStringLiteral("location")), QString());

    // Another job starts blank but for the surveyor, who carries over.
    m_form->setPointsFile(QStringLiteral("/surveys/b.sim"));
    DialogStep second;
    second.enter = {{QStringLiteral("date"), QStringLiteral("2025-02-29")}};
    runDrawingInfoDialog(button, second);
    QVERIFY2(second.refused, "a day that is not in the calendar is refused");
    for (const auto& [field, text] : {std::pair{"surveyDate", "2025/03/20"},
                                      std::pair{"neighbours", "670番:No.3-No.4\n道路"}}) {
        DialogStep refused;
        refused.enter = {{QString::fromLatin1(field), QString::fromUtf8(text)}};
        runDrawingInfoDialog(button, refused);
        QVERIFY2(refused.refused, field);
    }
    QCOMPARE(second.found.value(QStringLiteral("location")), QString());
    QCOMPARE(second.found.value(QStringLiteral("surveyor")), QStringLiteral("測量 太郎"));
    QCOMPARE(second.found.value(QStringLiteral("landCategory")), QStringLiteral("宅地"));

    // The first job's fields come back with its file, after a restart too.
    delete m_form;
    m_form = new MainWindow(&m_sink);
    m_form->setPointsFile(QStringLiteral("/surveys/a.sim"));
    DialogStep third;
    third.press = QDialogButtonBox::Cancel;
    runDrawingInfoDialog(child<QPushButton>("drawingInfoButton"), third);
    QCOMPARE(third.found.value(QStringLiteral("location")), QStringLiteral("八王子市元本郷町"));
    QCOMPARE(third.found.value(QStringLiteral("date")), QStringLiteral("2025-04-01"));
    QCOMPARE(third.found.value(QStringLiteral("landCategory")), QStringLiteral("その他"));
    QCOMPARE(third.found.value(QStringLiteral("surveyDate")), QStringLiteral("2025-03-20"));
    QCOMPARE(third.found.value(QStringLiteral("applicant")), QStringLiteral("山田 花子"));
    // The neighbours one a line, as the command line writes them.
    QCOMPARE(third.found.value(QStringLiteral("neighbours")),
             QStringLiteral("670番:No.3-No.4\n道路:No.4-No.2"));
}

void TestMainWindow::subdivisionIsCheckedAsTheCommandLineChecksIt_data() {
    QTest::addColumn<Fields>("enter");
    // What the refusal says; empty: the fields are taken.
    QTest::addColumn<QString>("refusal");
    const QString parent = QStringLiteral("subdivisionOf");
    const QString area = QStringLiteral("registeredArea");
    const QString accuracy = QStringLiteral("accuracyClass");
    const QString remainder = QStringLiteral("remainder");
    QTest::newRow("registered area with a sign refused")
        << Fields{{parent, "670"}, {area, "-330.5"}}
        << QStringLiteral("登記地積「-330.5」は使えません");
    QTest::newRow("registered area with a decimal comma refused")
        << Fields{{parent, "670"}, {area, "330,57"}} << QStringLiteral("小数 6 桁まで");
    QTest::newRow("registered area of seven decimals refused")
        << Fields{{parent, "670"}, {area, "1.1234567"}} << QStringLiteral("登記地積「1.1234567」");
    QTest::newRow("registered area in full-width digits refused")
        << Fields{{parent, "670"}, {area, "１２００"}} << QStringLiteral("登記地積「１２００」");
    QTest::newRow("registered area without a parent refused")
        << Fields{{area, "1200"}} << QStringLiteral("登記地積は分筆元を指定したときだけ");
    QTest::newRow("accuracy class without a parent refused")
        << Fields{{accuracy, "甲2"}} << QStringLiteral("精度区分は分筆元を指定したときだけ");
    QTest::newRow("remainder without a parent refused")
        << Fields{{remainder, "670-1"}} << QStringLiteral("残地は分筆元を指定したときだけ");
    QTest::newRow("a whole subdivision taken and kept")
        << Fields{{parent, "670"},
                  {QStringLiteral("signs"), "iroha"},
                  {area, "1200.000001"},
                  {accuracy, "甲2"},
                  {remainder, "670-1"}}
        << QString();
}

// The subdivision's fields are refused where the command line refuses its options, with the
// same words for the registered area; what is taken comes back with the job's file, and the
// parent and remainder are offered from the parcels read.
void TestMainWindow::subdivisionIsCheckedAsTheCommandLineChecksIt() {
    QFETCH(Fields, enter);
    QFETCH(QString, refusal);
    const QString example = QStringLiteral(KARUMENIO_SOURCE_DIR "/examples/subdivision_3lots.tsv");
    QVERIFY(m_form->openWorksheet()->openPointsFile(example));
    child<QPushButton>("readButton")->click();
    auto* button = child<QPushButton>("drawingInfoButton");
    DialogStep step;
    step.enter = enter;
    runDrawingInfoDialog(button, step);
    QCOMPARE(step.found.value(QStringLiteral("subdivisionOf.entries")),
             QStringLiteral("|670|670-1|670-2|670-3"));
    QCOMPARE(step.refused, !refusal.isEmpty());
    QVERIFY2(step.problem.contains(refusal), qPrintable(step.problem));
    if (refusal.isEmpty()) {
        DialogStep again;
        again.press = QDialogButtonBox::Cancel;
        runDrawingInfoDialog(button, again);
        for (auto it = enter.cbegin(); it != enter.cend(); ++it) {
            QCOMPARE(again.found.value(it.key()), it.value());
        }
    }
}

KARUMENIO_QTEST_MAIN(TestMainWindow)

#include "test_mainwindow.moc"

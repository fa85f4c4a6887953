#include "recordingsink.h"
#include "testmain.h"

#include "app/form1.h"
#include "guide/form2.h"
#include "guide/form3.h"
#include "guide/formlook.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using karumenio::app::Form1;
using karumenio::guide::Form2;
using karumenio::guide::Form3;

namespace {

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

class TestForm1 : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void loadDefaults();
    void valueHoldersNeverShow();
    void windowIsFixedAndIconed();
    void optionCodes_data();
    void optionCodes();
    void text1SelectsOnFocus_data();
    void text1SelectsOnFocus();
    void usageWindowOpensOnce();
    void exampleWindowOpensOnce();
    void closeButtonReturnsFocus();
    void closeButtonWithoutMainWindow();
    void guideLabelsShowWholeText_data();
    void guideLabelsShowWholeText();
    void japaneseFontsAreMapped();
    void endButtonClosesEveryWindow();

  private:
    template <typename T> T* child(const char* name) {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            qFatal("no control %s", name);
        }
        return found;
    }

    RecordingSink m_sink;
    QPointer<Form1> m_form;
};

void TestForm1::init() {
    m_sink.messages.clear();
    m_form = new Form1(&m_sink);
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestForm1::cleanup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<Form2*>(widget) || qobject_cast<Form3*>(widget)) {
            widget->close();
        }
    }
    delete m_form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestForm1::loadDefaults() {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("AutoCad 測量図面カルメニオ"));
    QCOMPARE(child<QComboBox>("Combo1")->currentText(), QStringLiteral("A1"));
    QCOMPARE(child<QComboBox>("Combo1")->count(), 7);
    QCOMPARE(child<QComboBox>("Combo1")->itemText(4), QStringLiteral("A4（縦）"));
    QCOMPARE(child<QComboBox>("Combo1")->itemText(6), QStringLiteral("B4（縦）"));
    QCOMPARE(child<QComboBox>("Combo2")->currentText(), QStringLiteral("1:100"));
    QCOMPARE(child<QComboBox>("Combo2")->count(), 10);
    QCOMPARE(child<QComboBox>("Combo2")->itemText(2), QStringLiteral("1:250"));
    QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("0.0000"));
    QCOMPARE(child<QLabel>("Label7")->text(), QString());
    QCOMPARE(child<QLabel>("Label8")->text(), QStringLiteral("バージョンを選んで下さい"));
    QCOMPARE(child<QLabel>("Label6")->text(), QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで起動"));
    QCOMPARE(child<QPushButton>("Command3")->text(), QStringLiteral("終　　　　了"));
    for (const char* name : {"Option1", "Option2", "Option3", "Option4", "Option5"}) {
        QVERIFY2(!child<QPushButton>(name)->isChecked(), name);
    }
    QVERIFY(!child<QProgressBar>("ProgressBar1")->isVisible());
    QVERIFY(!child<QLabel>("Label4")->isVisible());
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>("Command4"));
}

void TestForm1::valueHoldersNeverShow() {
    for (const char* name : {"Label3", "Label7"}) {
        const QLabel* label = child<QLabel>(name);
        QCOMPARE(label->palette().color(QPalette::WindowText),
                 m_form->palette().color(QPalette::Window));
    }
    // Whatever they hold, their pixels are the window's background.
    child<QPushButton>("Option5")->click();
    QCOMPARE(child<QLabel>("Label7")->text(), QStringLiteral("20001"));
    const QImage window = m_form->grab().toImage();
    const QRgb background = m_form->palette().color(QPalette::Window).rgb();
    for (const char* name : {"Label3", "Label7"}) {
        const QRect area = child<QLabel>(name)->geometry().intersected(m_form->rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                QVERIFY2(window.pixel(x, y) == background, name);
            }
        }
    }
}

void TestForm1::windowIsFixedAndIconed() {
    QCOMPARE(m_form->size(), QSize(249, 489));
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

void TestForm1::optionCodes_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("down");
    QTest::newRow("LT 97") << QStringList{"Option1"} << "97"
                           << "Option1";
    QTest::newRow("LT 98") << QStringList{"Option2"} << "98"
                           << "Option2";
    QTest::newRow("LT 2000") << QStringList{"Option3"} << "2000"
                             << "Option3";
    QTest::newRow("LT 2002") << QStringList{"Option4"} << "2002"
                             << "Option4";
    QTest::newRow("2000(R) is 20001, not 2000") << QStringList{"Option5"} << "20001"
                                                << "Option5";
    QTest::newRow("2000(R) then LT 2000") << QStringList{"Option5", "Option3"} << "2000"
                                          << "Option3";
    QTest::newRow("same button twice stays down") << QStringList{"Option4", "Option4"} << "2002"
                                                  << "Option4";
}

void TestForm1::optionCodes() {
    QFETCH(QStringList, clicks);
    QFETCH(QString, code);
    QFETCH(QString, down);
    for (const QString& name : clicks) {
        QTest::mouseClick(child<QPushButton>(qPrintable(name)), Qt::LeftButton);
    }
    QCOMPARE(child<QLabel>("Label7")->text(), code);
    for (const char* name : {"Option1", "Option2", "Option3", "Option4", "Option5"}) {
        QCOMPARE(child<QPushButton>(name)->isChecked(), down == QLatin1String(name));
    }
}

void TestForm1::text1SelectsOnFocus_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    QTest::newRow("default text, Tab from Combo2") << QString() << "tab";
    QTest::newRow("typed angle, Tab from Combo2") << "130.1001"
                                                  << "tab";
    QTest::newRow("default text, Shift+Tab from OLE1") << QString() << "backtab";
    QTest::newRow("typed angle, mouse click") << "30.1500"
                                              << "mouse";
}

void TestForm1::text1SelectsOnFocus() {
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QLineEdit* text1 = child<QLineEdit>("Text1");
    if (!typed.isEmpty()) {
        text1->setFocus();
        text1->selectAll();
        QTest::keyClicks(text1, typed);
        QCOMPARE(text1->text(), typed);
    }
    const QString expected = text1->text();
    if (how == QLatin1String("tab")) {
        child<QComboBox>("Combo2")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (how == QLatin1String("backtab")) {
        m_form->findChild<QWidget*>(QStringLiteral("OLE1"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    } else {
        child<QPushButton>("Command4")->setFocus();
        QTest::mouseClick(text1, Qt::LeftButton, {}, QPoint(4, text1->height() / 2));
        QCoreApplication::processEvents();
    }
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->selectedText(), expected);
    // Typing replaces the whole angle.
    QTest::keyClicks(text1, QStringLiteral("45.0000"));
    QCOMPARE(text1->text(), QStringLiteral("45.0000"));
}

void TestForm1::usageWindowOpensOnce() {
    QPushButton* command4 = child<QPushButton>("Command4");
    QTest::mouseClick(command4, Qt::LeftButton);
    Form2* first = m_form->usageWindow();
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("使用方法・説明"));
    QTest::mouseClick(command4, Qt::LeftButton);
    QCOMPARE(m_form->usageWindow(), first);
    QCOMPARE(visibleWindows<Form2>().size(), 1);
    // The main window stays usable while the usage window is open.
    QTest::mouseClick(child<QPushButton>("Option1"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("Label7")->text(), QStringLiteral("97"));
}

void TestForm1::exampleWindowOpensOnce() {
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    Form2* usage = m_form->usageWindow();
    auto* explain = usage->findChild<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(explain->text(), QStringLiteral("Excelでの説明"));
    QVERIFY(QTest::qWaitForWindowActive(usage));
    QCOMPARE(QApplication::focusWidget(), explain);
    QTest::mouseClick(explain, Qt::LeftButton);
    QTest::mouseClick(explain, Qt::LeftButton);
    const QList<Form3*> examples = visibleWindows<Form3>();
    QCOMPARE(examples.size(), 1);
    QCOMPARE(examples.first()->windowTitle(), QStringLiteral("Excelへの貼り付け例"));
    const auto* picture = examples.first()->findChild<QLabel*>(QStringLiteral("Image1"));
    QCOMPARE(picture->pixmap().size(), QSize(623, 251));
}

void TestForm1::closeButtonReturnsFocus() {
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QPointer<Form2> usage = m_form->usageWindow();
    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(visibleWindows<Form3>().value(0)));

    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(usage.isNull());
    // Only the usage window closes; the example window stays open.
    QCOMPARE(visibleWindows<Form3>().size(), 1);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>("Combo1"));
}

void TestForm1::closeButtonWithoutMainWindow() {
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QPointer<Form2> usage = m_form->usageWindow();
    m_form->close();
    delete m_form;
    QTest::mouseClick(usage->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(usage.isNull());
}

void TestForm1::guideLabelsShowWholeText_data() {
    QTest::addColumn<QString>("window");
    QTest::newRow("usage window") << "Form2";
    QTest::newRow("example window") << "Form3";
    QTest::newRow("main window") << "Form1";
}

void TestForm1::guideLabelsShowWholeText() {
    QFETCH(QString, window);
    QWidget* form = m_form;
    if (window != QLatin1String("Form1")) {
        QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
        form = m_form->usageWindow();
        if (window == QLatin1String("Form3")) {
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
            form = visibleWindows<Form3>().value(0);
        }
    }
    QVERIFY(form);
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        // The value holders are invisible by design and may be cut.
        if (label->objectName() == QLatin1String("Label3") && window == QLatin1String("Form1")) {
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

void TestForm1::japaneseFontsAreMapped() {
    for (const QFont& font : {karumenio::guide::gothicFont(9), karumenio::guide::minchoFont(12)}) {
        const QFontMetrics metrics(font);
        QVERIFY2(metrics.inFontUcs4(U'座'), qPrintable(QFontInfo(font).family()));
        QVERIFY2(metrics.inFontUcs4(U'ﾀ'), qPrintable(QFontInfo(font).family()));
    }
}

void TestForm1::endButtonClosesEveryWindow() {
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    QTest::mouseClick(m_form->usageWindow()->findChild<QPushButton*>(QStringLiteral("Command1")),
                      Qt::LeftButton);
    m_form->openWorksheet();
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    }
}

KARUMENIO_QTEST_MAIN(TestForm1)

#include "test_form1.moc"

#include "recordingsink.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"
#include "guide/examplewindow.h"
#include "guide/screenfit.h"
#include "guide/usagewindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using karumenio::app::MainWindow;

// Run on three screens side by side (screens.json): a laptop's 1366 x 768, an office
// monitor's 1600 x 1200 and a wide one's 1920 x 1080.
class TestScreens : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup();

    void everyWindowOpensOnTheMainWindowsScreen_data();
    void everyWindowOpensOnTheMainWindowsScreen();
    void thePreviewAloneLeavesTheButtonsUncovered_data();
    void thePreviewAloneLeavesTheButtonsUncovered();
    void theMainWindowHasRoomForItsTitle();
    void fitInside_data();
    void fitInside();
    void clearOf_data();
    void clearOf();

  private:
    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
};

void TestScreens::initTestCase() {
    QCOMPARE(QGuiApplication::screens().size(), 3);
}

void TestScreens::cleanup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<karumenio::guide::UsageWindow*>(widget) ||
            qobject_cast<karumenio::guide::ExampleWindow*>(widget)) {
            widget->close();
        }
    }
    delete m_form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestScreens::everyWindowOpensOnTheMainWindowsScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("where");
    QTest::newRow("1366 x 768, main window in the middle") << "laptop"
                                                           << "middle";
    QTest::newRow("1366 x 768, main window at the right edge") << "laptop"
                                                               << "right";
    QTest::newRow("1600 x 1200, main window in the middle") << "office"
                                                            << "middle";
    QTest::newRow("1600 x 1200, main window at the left edge") << "office"
                                                               << "left";
    QTest::newRow("1920 x 1080, main window in the middle") << "wide"
                                                            << "middle";
}

void TestScreens::everyWindowOpensOnTheMainWindowsScreen() {
    QFETCH(QString, screen);
    QFETCH(QString, where);
    QScreen* target = nullptr;
    for (QScreen* candidate : QGuiApplication::screens()) {
        if (candidate->name() == screen) {
            target = candidate;
        }
    }
    QVERIFY(target);
    const QRect area = target->availableGeometry();

    m_form = new MainWindow(&m_sink);
    QRect main = m_form->geometry();
    if (where == QLatin1String("middle")) {
        main.moveCenter(area.center());
    } else if (where == QLatin1String("right")) {
        main.moveTopRight(area.topRight() + QPoint(-10, 40));
    } else {
        main.moveTopLeft(area.topLeft() + QPoint(10, 40));
    }
    m_form->setGeometry(main);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QCOMPARE(karumenio::guide::screenOf(m_form), target);

    karumenio::app::WorksheetWindow* sheet = m_form->openWorksheet();
    m_form->findChild<QPushButton*>(QStringLiteral("usageButton"))->click();
    m_form->usageWindow()->findChild<QPushButton*>(QStringLiteral("exampleButton"))->click();
    karumenio::app::PreviewWindow* preview = m_form->openPreview();
    const QList<QWidget*> windows = {m_form, sheet, m_form->usageWindow(),
                                     karumenio::guide::ExampleWindow::showExample(), preview};
    for (QWidget* window : windows) {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY2(area.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 outside %6x%7")
                                .arg(window->objectName())
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(area.width())
                                .arg(area.height())));
    }

    // The preview leaves 座 標 読 込 and .SCR 出力 uncovered.
    for (const char* name : {"readButton", "writeButton"}) {
        const auto* button = m_form->findChild<QPushButton*>(QString::fromLatin1(name));
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(!preview->frameGeometry().intersects(onScreen), name);
    }

    // The worksheet stays clear of the main window's controls while its columns fit beside
    // it, and shows every column up to the radius whole.
    const QRect sheetFrame = sheet->frameGeometry();
    // Both fit side by side on either screen: the worksheet leaves the main window's
    // buttons uncovered.
    QVERIFY(!sheetFrame.intersects(m_form->frameGeometry()));
    karumenio::app::WorksheetView* view = sheet->view();
    const int radius = 6;
    const int radiusRight = view->columnViewportPosition(radius) + view->columnWidth(radius);
    QVERIFY2(radiusRight <= view->viewport()->width(),
             qPrintable(QStringLiteral("radius column ends at %1 of %2")
                            .arg(radiusRight)
                            .arg(view->viewport()->width())));
}

void TestScreens::thePreviewAloneLeavesTheButtonsUncovered_data() {
    QTest::addColumn<int>("screen");
    QTest::newRow("1366 x 768") << 0;
    QTest::newRow("1920 x 1080") << 2;
}

void TestScreens::thePreviewAloneLeavesTheButtonsUncovered() {
    QFETCH(int, screen);
    const QRect area = QGuiApplication::screens().at(screen)->availableGeometry();
    m_form = new MainWindow(&m_sink);
    QRect main = m_form->geometry();
    main.moveCenter(area.center());
    m_form->setGeometry(main);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    karumenio::app::PreviewWindow* preview = m_form->openPreview();
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    QVERIFY(area.contains(preview->frameGeometry()));
    for (const char* name : {"readButton", "writeButton"}) {
        const auto* button = m_form->findChild<QPushButton*>(QString::fromLatin1(name));
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(!preview->frameGeometry().intersects(onScreen), name);
    }
}

void TestScreens::theMainWindowHasRoomForItsTitle() {
    m_form = new MainWindow(&m_sink);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const int title = QFontMetrics(font).horizontalAdvance(m_form->windowTitle());
    QVERIFY2(m_form->width() > title + 60, qPrintable(QString::number(m_form->width())));
    // The controls keep their design sizes and stand in the middle.
    auto* read = m_form->findChild<QPushButton*>(QStringLiteral("readButton"));
    QCOMPARE(read->size(), QSize(97, 25));
    auto* usage = m_form->findChild<QPushButton*>(QStringLiteral("usageButton"));
    QVERIFY(qAbs(usage->x() - (m_form->width() - usage->geometry().right() - 1)) <= 1);
    QCOMPARE(m_form->height(), 553);
}

void TestScreens::fitInside_data() {
    QTest::addColumn<QRect>("client");
    QTest::addColumn<bool>("mayShrink");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("inside stays") << QRect(100, 100, 400, 300) << true << QRect(100, 100, 400, 300);
    QTest::newRow("beyond the right edge moves left")
        << QRect(1100, 100, 400, 300) << true << QRect(962, 100, 400, 300);
    QTest::newRow("above the top moves down, under the title bar")
        << QRect(100, 0, 400, 300) << true << QRect(100, 30, 400, 300);
    QTest::newRow("too tall shrinks")
        << QRect(100, 100, 400, 900) << true << QRect(100, 30, 400, 694);
    QTest::newRow("too tall and fixed keeps its title bar on the screen")
        << QRect(100, 100, 400, 900) << false << QRect(100, 30, 400, 900);
}

void TestScreens::fitInside() {
    QFETCH(QRect, client);
    QFETCH(bool, mayShrink);
    QFETCH(QRect, expected);
    const QMargins frame(4, 30, 4, 4);
    QCOMPARE(karumenio::guide::fitInside(client, frame, QRect(0, 0, 1366, 728), mayShrink),
             expected);
}

void TestScreens::clearOf_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<bool>("besideMain");
    QTest::newRow("1366 x 768, main window in the middle: narrower beside it")
        << QSize(1366, 768) << "middle" << false << true;
    QTest::newRow("1366 x 768, main window at the left edge: whole beside it")
        << QSize(1366, 768) << "left" << true << true;
    QTest::newRow("1920 x 1080, main window in the middle: narrower beside it")
        << QSize(1920, 1080) << "middle" << false << true;
    QTest::newRow("1920 x 1080, main window at the right edge: whole beside it")
        << QSize(1920, 1080) << "right" << true << true;
    QTest::newRow("1366 x 768, main window at the right edge: whole at its left")
        << QSize(1366, 768) << "right" << true << true;
    QTest::newRow("1280 x 720, main window in the middle: over it, clear of its buttons")
        << QSize(1280, 720) << "middle" << false << false;
}

void TestScreens::clearOf() {
    QFETCH(QSize, screen);
    QFETCH(QString, where);
    QFETCH(bool, whole);
    QFETCH(bool, besideMain);
    const QRect area(QPoint(0, 0), screen);
    const QMargins frame(4, 30, 4, 4);
    // The main window's frame and its two buttons, 座 標 読 込 and .SCR 出力.
    QRect main(0, 0, 308, 587);
    if (where == QLatin1String("middle")) {
        main.moveCenter(area.center());
    } else if (where == QLatin1String("right")) {
        main.moveRight(area.right());
    }
    const QRect buttons(main.topLeft() + QPoint(109, 366), QSize(97, 57));
    const QSize size(900, 680);
    const QSize minimum(480, 360);

    const QRect client = karumenio::guide::clearOf(size, minimum, main, frame, area, buttons);
    const QRect framed = client.marginsAdded(frame);
    QVERIFY(area.contains(framed));
    QVERIFY(!framed.intersects(buttons));
    QCOMPARE(!framed.intersects(main), besideMain);
    QCOMPARE(client.size() == size, whole);
    QVERIFY(client.width() >= minimum.width() && client.height() >= minimum.height());
}

KARUMENIO_QTEST_MAIN(TestScreens)

#include "test_screens.moc"

#include "recordingsink.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/previewwindow.h"
#include "app/worksheetmodel.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"
#include "guide/formlook.h"
#include "points/pointtable.h"
#include "spreadsheet/worksheet.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using karumenio::app::MainWindow;
using karumenio::app::WorksheetView;

namespace {

const QString kData = QStringLiteral(KARUMENIO_TEST_DATA);
const QStringList kScripts = {QStringLiteral("ZAHYOU.SCR"), QStringLiteral("LINE.SCR"),
                              QStringLiteral("PLOT.SCR"), QStringLiteral("TEXT.SCR")};

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString workedExample() {
    return QString::fromUtf8(readFile(kData + QStringLiteral("/worked_example.tsv")));
}

} // namespace

class TestReadWrite : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void workedExampleGivesGoldenScripts();
    void theHiddenLabelsAreNotRead();
    void readWithoutWorksheetWindow();
    void progressHiddenAfterRead();
    void unmappableNameIsWrittenAndReported();
    void failuresAreReported_data();
    void failuresAreReported();
    void aRefusedReadLeavesNoTableToWrite();
    void anEditAfterTheReadAsksBeforeWriting_data();
    void anEditAfterTheReadAsksBeforeWriting();
    void aTextCoordinateIsReportedAtRead();
    void aMistypedAngleIsWarnedOf_data();
    void aMistypedAngleIsWarnedOf();
    void aReplacementClearsEveryRowOfTheEarlierJob();

  private:
    void click(const char* name);
    WorksheetView* pasteAtA6(const QString& text);

    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestReadWrite::init() {
    m_sink.messages.clear();
    m_sink.questions.clear();
    m_sink.answer = 0;
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    qputenv("KARUMENIO_DRIVE_C", QFile::encodeName(m_folder->path()));
    m_form = new MainWindow(&m_sink);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestReadWrite::cleanup() {
    delete m_form;
    m_folder.reset();
}

void TestReadWrite::click(const char* name) {
    auto* button = m_form->findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

WorksheetView* TestReadWrite::pasteAtA6(const QString& text) {
    WorksheetView* view = m_form->openWorksheet()->view();
    QApplication::clipboard()->setText(text);
    view->selectCells(6, 1, 6, 1);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    return view;
}

void TestReadWrite::workedExampleGivesGoldenScripts() {
    const QString example = workedExample();
    QVERIFY(!example.isEmpty());
    pasteAtA6(example);
    m_form->worksheetWindow()->close();

    click("edition2000");
    click("readButton");
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.at(0).title, QStringLiteral("座標の読込"));
    QCOMPARE(m_sink.messages.at(0).text, QStringLiteral("座標読込完了　12　データ"));
    QVERIFY(!m_sink.messages.at(0).warning);

    click("writeButton");
    QCOMPARE(m_sink.messages.size(), 2);
    QCOMPARE(m_sink.messages.at(1).title, QStringLiteral("SCR作成"));
    QVERIFY(!m_sink.messages.at(1).warning);
    // The completion names the folder the scripts went to, not a drive C that is not there.
    const QString firstLine = m_sink.messages.at(1).text.section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(firstLine.contains(QStringLiteral("ZAHYOU-LINE-PLOT-TEXT.SCRを作成しました。")),
             qPrintable(firstLine));
#ifndef Q_OS_WIN
    QVERIFY2(firstLine.contains(QDir::toNativeSeparators(m_folder->path())), qPrintable(firstLine));
    QVERIFY2(!firstLine.contains(QStringLiteral("Cdr")), qPrintable(firstLine));
#endif
    for (const QString& script : kScripts) {
        const QByteArray golden = readFile(kData + QStringLiteral("/golden/worked12/") + script);
        QVERIFY2(!golden.isEmpty(), qPrintable(script));
        QCOMPARE(readFile(m_folder->filePath(script)), golden);
    }

    // A second run from the same window writes the same files again.
    const QByteArray first = readFile(m_folder->filePath(QStringLiteral("ZAHYOU.SCR")));
    QVERIFY(QFile::remove(m_folder->filePath(QStringLiteral("ZAHYOU.SCR"))));
    click("writeButton");
    QCOMPARE(m_sink.messages.size(), 3);
    QCOMPARE(readFile(m_folder->filePath(QStringLiteral("ZAHYOU.SCR"))), first);
}

void TestReadWrite::theHiddenLabelsAreNotRead() {
    // They keep their places in the window, but the edition comes from its button and the
    // degrees per radian from the program.
    pasteAtA6(workedExample());
    click("edition2000");
    click("readButton");
    click("writeButton");
    QByteArray first;
    for (const QString& script : kScripts) {
        first += readFile(m_folder->filePath(script));
    }
    m_form->findChild<QLabel*>(QStringLiteral("editionHolder"))->setText(QStringLiteral("97"));
    m_form->findChild<QLabel*>(QStringLiteral("degreesPerRadianHolder"))
        ->setText(QStringLiteral("1"));
    click("writeButton");
    QCOMPARE(m_sink.messages.size(), 3);
    QVERIFY(!m_sink.messages.at(2).warning);
    QByteArray second;
    for (const QString& script : kScripts) {
        second += readFile(m_folder->filePath(script));
    }
    QVERIFY(!first.isEmpty());
    QCOMPARE(second, first);
}

void TestReadWrite::readWithoutWorksheetWindow() {
    // The template alone: the read finds no points, with or without the window ever opened.
    click("readButton");
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.at(0).text, QStringLiteral("座標読込完了　0　データ"));
    QVERIFY(!m_form->worksheetWindow());
}

void TestReadWrite::progressHiddenAfterRead() {
    QString rows;
    for (int i = 0; i < 3001; ++i) {
        rows += QStringLiteral("\tP%1\t%2\t%3\r\n").arg(i + 1).arg(i).arg(i * 0.5);
    }
    pasteAtA6(rows);
    auto* bar = m_form->findChild<QProgressBar*>(QStringLiteral("progressBar"));
    auto* caption = m_form->findChild<QLabel*>(QStringLiteral("progressCaption"));
    click("readButton");
    QCOMPARE(m_sink.messages.value(0).text, QStringLiteral("座標読込完了　3001　データ"));
    QCOMPARE(bar->maximum(), 3001);
    QCOMPARE(bar->value(), 3000);
    QVERIFY(!bar->isVisible());
    QVERIFY(!caption->isVisible());
    QCOMPARE(m_form->pointTable().count(), 3001);
}

void TestReadWrite::unmappableNameIsWrittenAndReported() {
    QString example = workedExample();
    example.replace(QStringLiteral("\tK2\t"), QStringLiteral("\tK2\u00e9\t"));
    pasteAtA6(example);
    click("edition2000");
    click("readButton");
    click("writeButton");
    // The scripts are written; the completion says which name lost a character.
    QCOMPARE(m_sink.messages.size(), 2);
    QCOMPARE(m_sink.messages.at(1).title, QStringLiteral("SCR作成"));
    QVERIFY(m_sink.messages.at(1).warning);
    QVERIFY(m_sink.messages.at(1).text.contains(QStringLiteral("SCRを作成しました。")));
    QVERIFY2(m_sink.messages.at(1).text.contains(QStringLiteral("B7")),
             qPrintable(m_sink.messages.at(1).text));
    QVERIFY(readFile(m_folder->filePath(QStringLiteral("TEXT.SCR"))).contains("K2?"));
}

void TestReadWrite::failuresAreReported_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("failsAt");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("cell");

    const QString example = workedExample();
    QString tooMany;
    for (int i = 0; i < 3002; ++i) {
        tooMany += QStringLiteral("\tP\t%1\t%1\r\n").arg(i);
    }
    QString badCell = example;
    badCell.replace(QStringLiteral("\tK3\t100\t100"), QStringLiteral("\tK3\t100\tabc"));

    QTest::newRow("no edition chosen") << example << ""
                                       << "write"
                                       << "" << 13 << "";
    QTest::newRow("never read") << example << "edition2000"
                                << "write, no read"
                                << "" << 91 << "";
    QTest::newRow("no points") << ""
                               << "edition2000"
                               << "write"
                               << "" << 9 << "";
    QTest::newRow("more than 3001 rows") << tooMany << "edition2000"
                                         << "read"
                                         << "" << 9 << "C3007";
    QTest::newRow("text where a coordinate belongs") << badCell << "edition2000"
                                                     << "write"
                                                     << "" << 13 << "D8";
    QTest::newRow("folder cannot be written") << example << "edition2000"
                                              << "write"
                                              << "missing/folder" << 75 << "";
}

void TestReadWrite::failuresAreReported() {
    QFETCH(QString, rows);
    QFETCH(QString, option);
    QFETCH(QString, failsAt);
    QFETCH(QString, folder);
    QFETCH(int, number);
    QFETCH(QString, cell);

    if (!folder.isEmpty()) {
        // A path under a plain file can never become a folder, whoever runs the test.
        QFile blocker(m_folder->filePath(QStringLiteral("missing")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("KARUMENIO_DRIVE_C", QFile::encodeName(m_folder->filePath(folder)));
    }
    WorksheetView* view = rows.isEmpty() ? nullptr : pasteAtA6(rows);
    const QString c6 = view ? view->worksheetModel()->index(5, 2).data().toString() : QString();
    const int count = m_form->pointTable().count();
    if (!option.isEmpty()) {
        click(qPrintable(option));
    }
    if (failsAt != QLatin1String("write, no read")) {
        click("readButton");
    }
    if (failsAt != QLatin1String("read")) {
        click("writeButton");
    }

    // One failure, reported by the button that met it, with its own number.
    QVERIFY(!m_sink.messages.isEmpty());
    const RecordingSink::Message& last = m_sink.messages.last();
    QVERIFY2(last.warning, qPrintable(last.text));
    QCOMPARE(last.title, failsAt == QLatin1String("read") ? QStringLiteral("座標の読込")
                                                          : QStringLiteral("SCR作成"));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("実行時エラー (\\d+)")).match(last.text);
    QVERIFY2(match.hasMatch(), qPrintable(last.text));
    QCOMPARE(match.captured(1).toInt(), number);
    QVERIFY(last.text.indexOf(match.captured(0)) > 0);
    if (!cell.isEmpty()) {
        QVERIFY2(last.text.contains(cell), qPrintable(last.text));
    }
    // Before it only a read that names the same cell may have warned.
    for (const RecordingSink::Message& message :
         m_sink.messages.mid(0, m_sink.messages.size() - 1)) {
        QVERIFY2(!message.warning || (!cell.isEmpty() && message.text.contains(cell)),
                 qPrintable(message.text));
    }
    // Nothing written, nothing lost: no script in the folder, the worksheet as pasted, the
    // table as before a failed read, and the program still answers the next click.
    const QStringList written =
        QDir(m_folder->path()).entryList(QStringList{QStringLiteral("*.SCR")}, QDir::Files);
    QVERIFY2(written.isEmpty(), qPrintable(written.join(QLatin1Char(' '))));
    if (view) {
        QCOMPARE(view->worksheetModel()->index(5, 2).data().toString(), c6);
    }
    if (failsAt == QLatin1String("read")) {
        QCOMPARE(m_form->pointTable().count(), count);
    }
    QVERIFY(!m_form->findChild<QProgressBar*>(QStringLiteral("progressBar"))->isVisible());
    QVERIFY(!m_form->findChild<QLabel*>(QStringLiteral("progressCaption"))->isVisible());
    const qsizetype before = m_sink.messages.size();
    click("readButton");
    QCOMPARE(m_sink.messages.size(), before + 1);
}

void TestReadWrite::aRefusedReadLeavesNoTableToWrite() {
    pasteAtA6(workedExample());
    click("edition2000");
    click("readButton");
    QString tooMany;
    for (int i = 0; i < 3002; ++i) {
        tooMany += QStringLiteral("\tP\t%1\t%1\r\n").arg(i);
    }
    pasteAtA6(tooMany);
    click("readButton");
    m_sink.messages.clear();
    click("writeButton");
    // Not the old 12 points in a frame centred on the new rows: no write at all.
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.at(0).warning);
    QVERIFY2(m_sink.messages.at(0).text.contains(QStringLiteral("座標が読み込まれていません")),
             qPrintable(m_sink.messages.at(0).text));
    QVERIFY(QDir(m_folder->path()).entryList(QDir::Files).isEmpty());
}

void TestReadWrite::anEditAfterTheReadAsksBeforeWriting_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("firstPoint");
    QTest::newRow("read again and write") << 0 << "500,600";
    QTest::newRow("write what was read") << 1 << "0,0";
    QTest::newRow("cancel") << 2 << "";
}

void TestReadWrite::anEditAfterTheReadAsksBeforeWriting() {
    QFETCH(int, answer);
    QFETCH(QString, firstPoint);
    WorksheetView* view = pasteAtA6(workedExample());
    click("edition2000");
    click("readButton");
    view->selectCells(6, 3, 6, 3);
    view->pasteText(QStringLiteral("500\t600"));
    m_sink.answer = answer;
    click("writeButton");
    QCOMPARE(m_sink.questions.size(), 1);
    const QByteArray line = readFile(m_folder->filePath(QStringLiteral("LINE.SCR")));
    if (firstPoint.isEmpty()) {
        QVERIFY(line.isEmpty());
    } else {
        QCOMPARE(line.split('\n').value(5).trimmed(), firstPoint.toUtf8());
    }
    // A read clears the question; the next write asks nothing.
    click("readButton");
    click("writeButton");
    QCOMPARE(m_sink.questions.size(), 1);
}

void TestReadWrite::aTextCoordinateIsReportedAtRead() {
    QString rows = workedExample();
    rows.replace(QStringLiteral("\tK3\t100\t100"), QStringLiteral("\tK3\t百\t100"));
    WorksheetView* view = pasteAtA6(rows);
    click("readButton");
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.at(0).warning);
    QVERIFY2(m_sink.messages.at(0).text.contains(QStringLiteral("C8")),
             qPrintable(m_sink.messages.at(0).text));
    // The message's cell is selected in the worksheet.
    QCOMPARE(view->currentIndex().row() + 1, 8);
    QCOMPARE(view->currentIndex().column() + 1, 3);
}

void TestReadWrite::aMistypedAngleIsWarnedOf_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("readAs");
    QTest::newRow("letters") << "abc"
                             << "0.0000";
    QTest::newRow("an empty box") << ""
                                  << "0.0000";
    QTest::newRow("a decimal comma") << "30,0000"
                                     << "30.0000";
    QTest::newRow("60 seconds") << "30.5960"
                                << "31.0000";
}

void TestReadWrite::aMistypedAngleIsWarnedOf() {
    // Written as the box reads it, so the scripts stay as they were, and said so in the read,
    // the write and the preview.
    QFETCH(QString, typed);
    QFETCH(QString, readAs);
    pasteAtA6(workedExample());
    click("edition2000");
    auto* angle = m_form->findChild<QLineEdit*>(QStringLiteral("angleBox"));
    angle->setText(readAs);
    click("readButton");
    click("writeButton");
    QByteArray plain;
    for (const QString& script : kScripts) {
        plain += readFile(m_folder->filePath(script));
    }
    QVERIFY(!m_sink.messages.at(1).warning);

    angle->setText(typed);
    click("readButton");
    click("writeButton");
    QCOMPARE(m_sink.messages.size(), 4);
    for (const RecordingSink::Message& message : m_sink.messages.mid(2)) {
        QVERIFY(message.warning);
        QVERIFY2(message.text.contains(QStringLiteral("角度(UCS) の「%1」は").arg(typed)),
                 qPrintable(message.text));
    }
    QByteArray written;
    for (const QString& script : kScripts) {
        written += readFile(m_folder->filePath(script));
    }
    QCOMPARE(written, plain);
    m_form->openPreview();
    QVERIFY(m_form->previewWindow()
                ->findChild<QLabel*>(QStringLiteral("warnings"))
                ->text()
                .contains(QStringLiteral("ddd.mmss")));
}

void TestReadWrite::aReplacementClearsEveryRowOfTheEarlierJob() {
    // A job past the template's last row, replaced by a shorter one: nothing of it stays.
    QString rows;
    for (int i = 0; i < 3002; ++i) {
        rows += QStringLiteral("\tP%1\t%1\t1\r\n").arg(i);
    }
    pasteAtA6(rows);
    m_sink.answer = 0;
    pasteAtA6(rows.section(QStringLiteral("\r\n"), 0, 3000) + QStringLiteral("\r\n"));
    QCOMPARE(m_sink.questions.size(), 1);
    click("readButton");
    QCOMPARE(m_sink.messages.last().text, QStringLiteral("座標読込完了　3001　データ"));

    // Rows that run past the sheet are refused before the question, and the job stays.
    QString tooMany;
    for (int i = 0; i < karumenio::spreadsheet::Worksheet::kRowCount; ++i) {
        tooMany += QStringLiteral("\tQ\t1\t2\n");
    }
    WorksheetView* view = pasteAtA6(tooMany);
    QCOMPARE(m_sink.questions.size(), 1);
    QVERIFY(m_sink.messages.last().warning);
    QVERIFY2(m_sink.messages.last().text.contains(QStringLiteral("実行時エラー 9")),
             qPrintable(m_sink.messages.last().text));
    QCOMPARE(view->worksheetModel()->index(5, 1).data().toString(), QStringLiteral("P0"));
}

KARUMENIO_QTEST_MAIN(TestReadWrite)

#include "test_readwrite.moc"

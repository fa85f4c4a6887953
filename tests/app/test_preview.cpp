#include "recordingsink.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/planscene.h"
#include "app/previewwindow.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using karumenio::app::ExportFormat;
using karumenio::app::MainWindow;
using karumenio::app::PreviewWindow;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void followsTheReadAndTheSettings();
    void fitSuggestionIsAppliedToTheLists();
    void warningLinksAndPointsSelectTheirCells();
    void pdfPageIsTheSheetAtTrueScale_data();
    void pdfPageIsTheSheetAtTrueScale();
    void picturesAndFailures();

  private:
    PreviewWindow* readAndPreview(const QString& rows);

    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
};

void TestPreview::init() {
    m_sink.messages.clear();
    m_form = new MainWindow(&m_sink);
    m_form->show();
}

void TestPreview::cleanup() {
    delete m_form;
}

PreviewWindow* TestPreview::readAndPreview(const QString& rows) {
    m_form->openWorksheet()->view()->selectCells(6, 1, 6, 1);
    m_form->worksheetWindow()->view()->pasteText(rows);
    m_form->findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    m_form->findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    return m_form->previewWindow();
}

void TestPreview::followsTheReadAndTheSettings() {
    m_form->findChild<QPushButton*>(QStringLiteral("previewButton"))->click();
    PreviewWindow* preview = m_form->previewWindow();
    QVERIFY(preview && preview->isVisible());
    QVERIFY(preview->statusText().contains(QStringLiteral("読み込まれていません")));

    const QString rows =
        QString::fromUtf8(readFile(QStringLiteral(KARUMENIO_TEST_DATA "/worked_example.tsv")));
    readAndPreview(rows);
    QCOMPARE(preview->statusText(), QStringLiteral("測点 12　線 3　円 6　文字 12"));
    QCOMPARE(preview->scene()->plan().rotationAngle, 0.0);

    m_form->findChild<QLineEdit*>(QStringLiteral("angleBox"))->setText(QStringLiteral("30.0000"));
    QCOMPARE(preview->scene()->plan().rotationAngle, 30.0);
    m_form->findChild<QComboBox*>(QStringLiteral("paperList"))->setCurrentIndex(2);
    QCOMPARE(preview->scene()->plan().paper->token, std::string_view("A3"));

    // A coordinate that is no number leaves no drawing but says which cell.
    m_form->worksheetWindow()->view()->selectCells(8, 3, 8, 3);
    m_form->worksheetWindow()->view()->pasteText(QStringLiteral("東"));
    m_form->findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    QVERIFY2(preview->statusText().contains(QStringLiteral("C8")),
             qPrintable(preview->statusText()));
}

void TestPreview::fitSuggestionIsAppliedToTheLists() {
    PreviewWindow* preview = readAndPreview(
        QString::fromUtf8(readFile(QStringLiteral(KARUMENIO_TEST_DATA "/worked_example.tsv"))));
    QVERIFY(preview->hasSuggestion());
    QVERIFY(preview->fitText().contains(QStringLiteral("1:400")));
    preview->findChild<QPushButton*>(QStringLiteral("applySuggestion"))->click();
    QCOMPARE(m_form->findChild<QComboBox*>(QStringLiteral("scaleList"))->currentText(),
             QStringLiteral("1:400"));
    QVERIFY(!preview->hasSuggestion());
}

void TestPreview::warningLinksAndPointsSelectTheirCells() {
    PreviewWindow* preview = readAndPreview(QStringLiteral("\tA\t0\t0\t1\r\n\tB\t10\t0\t-2\r\n"));
    auto* warnings = preview->findChild<QLabel*>(QStringLiteral("warnings"));
    QVERIFY(warnings->text().contains(QStringLiteral("href=\"G7\"")));
    emit warnings->linkActivated(QStringLiteral("G7"));
    const QModelIndex current = m_form->worksheetWindow()->view()->currentIndex();
    QCOMPARE(current.row() + 1, 7);
    QCOMPARE(current.column() + 1, 7);

    emit preview->pointClicked(1);
    QCOMPARE(m_form->worksheetWindow()->view()->currentIndex().row() + 1, 7);
}

void TestPreview::pdfPageIsTheSheetAtTrueScale_data() {
    QTest::addColumn<int>("paper");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::newRow("A1 landscape") << 0 << 841.0 << 594.0;
    QTest::newRow("A4 portrait") << 4 << 210.0 << 297.0;
}

void TestPreview::pdfPageIsTheSheetAtTrueScale() {
    QFETCH(int, paper);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    m_form->findChild<QComboBox*>(QStringLiteral("paperList"))->setCurrentIndex(paper);
    PreviewWindow* preview = readAndPreview(QStringLiteral("\tA\t0\t0\r\n\tB\t10\t20\r\n"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.pdf"));
    QVERIFY(preview->exportTo(ExportFormat::Pdf, path));
    // The page in points (1/72 inch).
    static const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(readFile(path)));
    QVERIFY(box.hasMatch());
    QVERIFY(qAbs(box.captured(1).toDouble() - widthMm / 25.4 * 72) < 1);
    QVERIFY(qAbs(box.captured(2).toDouble() - heightMm / 25.4 * 72) < 1);
}

void TestPreview::picturesAndFailures() {
    PreviewWindow* preview = readAndPreview(QStringLiteral("\t測点\t0\t0\r\n\tB\t10\t20\r\n"));
    QTemporaryDir folder;
    QVERIFY(preview->exportTo(ExportFormat::Png, folder.filePath(QStringLiteral("plan.png"))));
    QVERIFY(!QImage(folder.filePath(QStringLiteral("plan.png"))).isNull());
    QVERIFY(preview->exportTo(ExportFormat::Svg, folder.filePath(QStringLiteral("plan.svg"))));
    QVERIFY(readFile(folder.filePath(QStringLiteral("plan.svg"))).contains("<svg"));

    // A folder that is not there: a message, and nothing written.
    m_sink.messages.clear();
    QVERIFY(!preview->exportTo(ExportFormat::Dxf, folder.filePath(QStringLiteral("no/plan.dxf"))));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.at(0).warning);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

KARUMENIO_QTEST_MAIN(TestPreview)
#include "test_preview.moc"

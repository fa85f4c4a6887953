#include "recordingsink.h"
#include "testmain.h"

#include "app/drawinginfo.h"
#include "app/mainwindow.h"
#include "app/planscene.h"
#include "app/planview.h"
#include "app/previewexports.h"
#include "app/previewwindow.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"
#include "geodesy/planesystem.h"
#include "job/messages.h"
#include "job/outputformat.h"
#include "job/planlocation.h"
#include "job/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

using karumenio::app::MainWindow;
using karumenio::app::PreviewWindow;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString workedExample() {
    return QString::fromUtf8(readFile(QStringLiteral(KARUMENIO_TEST_DATA "/worked_example.tsv")));
}

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The two parcels of the SIMA example, as a worksheet holds them.
const QString kTwoParcels = QStringLiteral("669-1\tNo.1\t-23795.960\t-32832.251\n"
                                           "\tNo.2\t-23782.105\t-32832.002\n"
                                           "\tNo.3\t-23782.230\t-32824.310\n"
                                           "\tNo.4\t-23796.080\t-32824.560\n"
                                           "\tNo.1\t-23795.960\t-32832.251\n"
                                           "669-2\tNo.2\t-23782.105\t-32832.002\n"
                                           "\tNo.5\t-23768.330\t-32831.760\n"
                                           "\tNo.6\t-23768.452\t-32824.058\n"
                                           "\tNo.3\t-23782.230\t-32824.310\n"
                                           "\tNo.2\t-23782.105\t-32832.002\n");

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void followsTheReadAndTheSettings();
    void fitSuggestionIsAppliedToTheLists();
    void warningLinksAndPointsSelectTheirCells();
    void everyOutputFormatIsAnExport();
    void pdfPageIsTheSheetAtTrueScale_data();
    void pdfPageIsTheSheetAtTrueScale();
    void picturesAndFailures();
    void saveDialogsStartInTheOutputFolder_data();
    void saveDialogsStartInTheOutputFolder();
    void aChangedSheetMarksTheDrawingOutOfDate();
    void exportsOfAnOutOfDateDrawingAsk_data();
    void exportsOfAnOutOfDateDrawingAsk();
    void anExportRefusesWhereTheWriteRefuses_data();
    void anExportRefusesWhereTheWriteRefuses();
    void aSuggestionFromOutOfDatePointsAsks_data();
    void aSuggestionFromOutOfDatePointsAsks();
    void theViewFitsWhenTheFrameChanges_data();
    void theViewFitsWhenTheFrameChanges();
    void theWheelZoomsAboutThePointUnderTheCursor_data();
    void theWheelZoomsAboutThePointUnderTheCursor();
    void pointTipsShowTheNumbersAsTheSheetDoes_data();
    void pointTipsShowTheNumbersAsTheSheetDoes();
    void theMapButtonOpensTheAddressOfThePlan();
    void aPlanOutsideItsSystemIsAWarning();
    void theSurveyMapIsDrawnAndPrintedOnB4();
    void theRegistrationExamplesMapHoldsEveryItemOfTheDrawingInfo();
    void theSubdivisionReachesTheMap_data();
    void theSubdivisionReachesTheMap();

  private:
    PreviewWindow* readAndPreview(const QString& rows);
    void select(const char* list, const QString& token);
    void paste(int row, int column, const QString& text);
    void click(const char* name);

    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
};

void TestPreview::init() {
    QSettings store;
    for (const char* key : {"surveyMap", "planeSystem", "drawingInfo"}) {
        store.remove(QString::fromLatin1(key));
    }
    m_sink.messages.clear();
    m_sink.questions.clear();
    m_sink.saveFilters.clear();
    m_sink.saveSuggestions.clear();
    m_sink.answer = 0;
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

void TestPreview::select(const char* list, const QString& token) {
    auto* combo = m_form->findChild<QComboBox*>(QString::fromLatin1(list));
    QVERIFY(combo);
    const int index = combo->findData(token);
    QVERIFY2(index >= 0, qPrintable(token));
    combo->setCurrentIndex(index);
}

void TestPreview::paste(int row, int column, const QString& text) {
    m_form->openWorksheet()->view()->selectCells(row, column, row, column);
    m_form->worksheetWindow()->view()->pasteText(text);
}

void TestPreview::click(const char* name) {
    auto* button = m_form->findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    button->click();
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
    select("paperList", QStringLiteral("A3"));
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

void TestPreview::everyOutputFormatIsAnExport() {
    // The core's formats first, each as its own button, writing what the format's writer makes
    // of the plan shown; then the pictures.
    // The worked example lies at the origin of system IX, which GeoJSON needs.
    select("zoneList", QStringLiteral("9"));
    PreviewWindow* preview = readAndPreview(workedExample());
    QTemporaryDir folder;
    karumenio::job::Settings settings;
    settings.planeSystem = karumenio::geodesy::planeSystem(9);
    const std::vector<karumenio::app::PlanExport>& exports = karumenio::app::planExports();
    std::size_t index = 0;
    for (const karumenio::job::OutputFormat& format : karumenio::job::outputFormats()) {
        const QString token = fromStd(format.token);
        QCOMPARE(exports.at(index++).token, token);
        auto* button = preview->findChild<QPushButton*>(QStringLiteral("export-") + token);
        QVERIFY2(button, qPrintable(token));
        QCOMPARE(button->text(), fromStd(format.name) + QStringLiteral(" 出力…"));
        const QString path = folder.filePath(QStringLiteral("plan") + fromStd(format.extension));
        QVERIFY(preview->exportTo(token, path));
        const std::filesystem::path target(path.toStdU16String());
        const karumenio::job::FormatBytes expected =
            format.write({preview->scene()->plan(), settings, target});
        QCOMPARE(readFile(path), QByteArray::fromStdString(expected.bytes));
    }
    QCOMPARE(exports.size(), index + 3);
}

void TestPreview::pdfPageIsTheSheetAtTrueScale_data() {
    QTest::addColumn<QString>("paper");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::newRow("A1 landscape") << "A1" << 841.0 << 594.0;
    QTest::newRow("A4 portrait") << "A4P" << 210.0 << 297.0;
    QTest::newRow("B4 landscape") << "B4L" << 364.0 << 257.0;
}

void TestPreview::pdfPageIsTheSheetAtTrueScale() {
    QFETCH(QString, paper);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    select("paperList", paper);
    PreviewWindow* preview = readAndPreview(QStringLiteral("\tA\t0\t0\r\n\tB\t10\t20\r\n"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.pdf"));
    QVERIFY(preview->exportTo(QStringLiteral("pdf"), path));
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
    QVERIFY(preview->exportTo(QStringLiteral("png"), folder.filePath(QStringLiteral("plan.png"))));
    QVERIFY(!QImage(folder.filePath(QStringLiteral("plan.png"))).isNull());
    QVERIFY(preview->exportTo(QStringLiteral("svg"), folder.filePath(QStringLiteral("plan.svg"))));
    QVERIFY(readFile(folder.filePath(QStringLiteral("plan.svg"))).contains("<svg"));

    // A folder that is not there: a message, and nothing written.
    m_sink.messages.clear();
    QVERIFY(
        !preview->exportTo(QStringLiteral("dxf"), folder.filePath(QStringLiteral("no/plan.dxf"))));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.at(0).warning);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
}

void TestPreview::saveDialogsStartInTheOutputFolder_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("pointsFile");
    QTest::addColumn<QString>("suggested");
    QTest::newRow("DXF named after the points file") << "dxf"
                                                     << "elsewhere/lots.sim"
                                                     << "lots.dxf";
    QTest::newRow("PDF of a pasted sheet") << "pdf"
                                           << ""
                                           << "図面.pdf";
    QTest::newRow("SIMA beside its own points file, not over it") << "sima"
                                                                  << "lots.sim"
                                                                  << "図面.sim";
    QTest::newRow("GeoJSON without a coordinate system: refused before the dialog") << "geojson"
                                                                                    << ""
                                                                                    << "";
}

void TestPreview::saveDialogsStartInTheOutputFolder() {
    QFETCH(QString, token);
    QFETCH(QString, pointsFile);
    QFETCH(QString, suggested);
    QTemporaryDir folder;
    // The scripts' folder, which the main window hands to the preview.
    qputenv("KARUMENIO_DRIVE_C", QFile::encodeName(folder.path()));
    PreviewWindow* preview = readAndPreview(workedExample());
    qunsetenv("KARUMENIO_DRIVE_C");
    preview->setPointsFile(pointsFile.isEmpty() ? QString() : folder.filePath(pointsFile));
    m_sink.messages.clear();
    m_sink.savePath.clear();
    auto* button = preview->findChild<QPushButton*>(QStringLiteral("export-") + token);
    QVERIFY(button);
    button->click();
    if (suggested.isEmpty()) {
        QVERIFY(m_sink.saveSuggestions.isEmpty());
        QCOMPARE(m_sink.messages.size(), 1);
        QVERIFY(m_sink.messages.first().warning);
        QVERIFY2(m_sink.messages.first().text.contains(QStringLiteral("座標系")),
                 qPrintable(m_sink.messages.first().text));
        return;
    }
    QCOMPARE(m_sink.saveSuggestions, QStringList{folder.filePath(suggested)});
    QVERIFY(m_sink.messages.isEmpty());
}

void TestPreview::aChangedSheetMarksTheDrawingOutOfDate() {
    PreviewWindow* preview = readAndPreview(workedExample());
    auto* banner = preview->findChild<QWidget*>(QStringLiteral("outOfDateBanner"));
    QVERIFY(banner);
    QVERIFY(!preview->isOutOfDate());
    QVERIFY(!banner->isVisible());
    QVERIFY(!preview->view()->isGreyedOut());

    paste(7, 2, QStringLiteral("NEW2"));
    QVERIFY(preview->isOutOfDate());
    QVERIFY(banner->isVisible());
    QVERIFY(preview->view()->isGreyedOut());
    // The banner takes its room from the view, and the sheet's frame stays whole in it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    karumenio::app::PlanView* view = preview->view();
    QVERIFY(view->geometry().top() >= banner->geometry().bottom());
    QVERIFY(view->mapToScene(view->viewport()->rect())
                .boundingRect()
                .contains(preview->scene()->drawingRect()));
    // A change of the settings draws again from the read points: still out of date.
    select("paperList", QStringLiteral("A2"));
    QVERIFY(preview->isOutOfDate());

    // The banner's button reads again, and the drawing is current.
    preview->findChild<QPushButton*>(QStringLiteral("readAgain"))->click();
    QVERIFY(!preview->isOutOfDate());
    QVERIFY(!banner->isVisible());
    QVERIFY(!preview->view()->isGreyedOut());
    QCOMPARE(preview->scene()->plan().labels.at(1).text, std::string("NEW2"));

    // A read that fails leaves no drawing to call out of date.
    paste(8, 3, QStringLiteral("東"));
    QVERIFY(preview->isOutOfDate());
    click("readButton");
    QVERIFY(!preview->isOutOfDate());
    QVERIFY(!banner->isVisible());
}

void TestPreview::exportsOfAnOutOfDateDrawingAsk_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("written");
    QTest::newRow("DXF, read again and export") << QStringLiteral("dxf") << 0 << "NEW2";
    QTest::newRow("DXF, export the read points") << QStringLiteral("dxf") << 1 << "K2";
    QTest::newRow("DXF, cancel") << QStringLiteral("dxf") << 2 << "";
    QTest::newRow("DXF, question closed") << QStringLiteral("dxf") << -1 << "";
    QTest::newRow("SVG, read again and export") << QStringLiteral("svg") << 0 << "NEW2";
    QTest::newRow("SVG, export the read points") << QStringLiteral("svg") << 1 << "K2";
    QTest::newRow("PDF, read again and export") << QStringLiteral("pdf") << 0 << "%PDF";
    QTest::newRow("PNG, cancel") << QStringLiteral("png") << 2 << "";
}

void TestPreview::exportsOfAnOutOfDateDrawingAsk() {
    QFETCH(QString, format);
    QFETCH(int, answer);
    QFETCH(QString, written);
    PreviewWindow* preview = readAndPreview(workedExample());
    QTemporaryDir folder;
    m_sink.savePath = folder.filePath(QStringLiteral("plan"));

    // While the drawing is current, an export asks nothing.
    preview->askAndExport(format);
    QCOMPARE(m_sink.questions.size(), 0);
    QCOMPARE(m_sink.saveFilters.size(), 1);
    QFile::remove(m_sink.savePath + karumenio::app::findPlanExport(format)->suffix);

    paste(7, 2, QStringLiteral("NEW2"));
    m_sink.answer = answer;
    preview->askAndExport(format);
    QCOMPARE(m_sink.questions.size(), 1);
    QCOMPARE(m_sink.questions.at(0).text,
             fromStd(karumenio::job::staleSheetQuestion(karumenio::job::ReadUse::Export).text));
    const QString path = m_sink.savePath + karumenio::app::findPlanExport(format)->suffix;
    if (written.isEmpty()) {
        // Nothing chosen, nothing written, and the drawing still says it is out of date.
        QCOMPARE(m_sink.saveFilters.size(), 1);
        QVERIFY(!QFile::exists(path));
        QVERIFY(preview->isOutOfDate());
        return;
    }
    QCOMPARE(m_sink.saveFilters.size(), 2);
    const QByteArray bytes = readFile(path);
    QVERIFY2(bytes.contains(written.toUtf8()), qPrintable(path));
    if (written == QLatin1String("K2")) {
        QVERIFY(!bytes.contains("NEW2"));
        QVERIFY(preview->isOutOfDate());
    } else {
        QVERIFY(!preview->isOutOfDate());
    }
}

void TestPreview::anExportRefusesWhereTheWriteRefuses_data() {
    QTest::addColumn<QString>("format");
    for (const karumenio::app::PlanExport& entry : karumenio::app::planExports()) {
        QTest::newRow(qPrintable(entry.token)) << entry.token;
    }
}

void TestPreview::anExportRefusesWhereTheWriteRefuses() {
    // A good sheet read and shown; then a coordinate that is text, read again at the export's
    // question: the read warns, and the export refuses as the write run does, naming nothing
    // else and writing nothing.
    QFETCH(QString, format);
    PreviewWindow* preview = readAndPreview(workedExample());
    QTemporaryDir folder;
    m_sink.savePath = folder.filePath(QStringLiteral("plan"));
    click("edition2000");
    paste(18, 3, QStringLiteral("abc"));
    m_sink.answer = 0;
    m_sink.messages.clear();
    preview->askAndExport(format);
    QCOMPARE(m_sink.questions.size(), 1);
    QCOMPARE(m_sink.saveFilters.size(), 0);
    QCOMPARE(m_sink.messages.size(), 2);
    QVERIFY(m_sink.messages.at(0).text.contains(QStringLiteral("C18")));
    const RecordingSink::Message refusal = m_sink.messages.at(1);
    QVERIFY(refusal.warning);
    QVERIFY2(refusal.text.contains(QStringLiteral("実行時エラー 13")), qPrintable(refusal.text));
    QVERIFY(QDir(folder.path()).isEmpty());
    QCOMPARE(m_form->worksheetWindow()->view()->currentIndex().row() + 1, 18);

    // An export asked for directly refuses the same way; the write run says the same.
    QVERIFY(!preview->exportTo(format, folder.filePath(QStringLiteral("direct"))));
    qputenv("KARUMENIO_DRIVE_C", QFile::encodeName(folder.path()));
    click("writeButton");
    qunsetenv("KARUMENIO_DRIVE_C");
    QCOMPARE(m_sink.messages.size(), 4);
    QCOMPARE(m_sink.messages.at(2).text, refusal.text);
    QCOMPARE(m_sink.messages.at(3).text, refusal.text);
    QVERIFY(QDir(folder.path()).isEmpty());
}

void TestPreview::aSuggestionFromOutOfDatePointsAsks_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("scale");
    QTest::newRow("read again: the new points fit, nothing changes") << 0 << "1:100";
    QTest::newRow("apply what the read points need") << 1 << "1:400";
    QTest::newRow("cancel") << 2 << "1:100";
}

void TestPreview::aSuggestionFromOutOfDatePointsAsks() {
    QFETCH(int, answer);
    QFETCH(QString, scale);
    PreviewWindow* preview = readAndPreview(workedExample());
    QVERIFY(preview->hasSuggestion());
    // The new sheet is small: a few points around the origin, every one inside 1:100.
    m_form->worksheetWindow()->view()->selectCells(6, 1, 17, 4);
    m_form->worksheetWindow()->view()->clearSelectedCells();
    paste(6, 1, QStringLiteral("K\tA\t0\t0\r\n\tB\t10\t10\r\n"));
    m_sink.answer = answer;
    m_sink.questions.clear();
    preview->findChild<QPushButton*>(QStringLiteral("applySuggestion"))->click();
    QCOMPARE(m_sink.questions.size(), 1);
    QVERIFY(m_sink.questions.at(0).text.contains(QStringLiteral("座 標 読 込")));
    QCOMPARE(m_form->findChild<QComboBox*>(QStringLiteral("scaleList"))->currentText(), scale);
}

void TestPreview::theViewFitsWhenTheFrameChanges_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("fitted");
    QTest::newRow("paper") << "paper" << true;
    QTest::newRow("scale") << "scale" << true;
    QTest::newRow("angle") << "angle" << true;
    QTest::newRow("fit suggestion applied") << "suggestion" << true;
    QTest::newRow("a point that moves the frame, read again") << "extent" << true;
    QTest::newRow("a name, read again: the zoom stays") << "name" << false;
    QTest::newRow("a radius, read again: the zoom stays") << "radius" << false;
}

void TestPreview::theViewFitsWhenTheFrameChanges() {
    QFETCH(QString, change);
    QFETCH(bool, fitted);
    PreviewWindow* preview = readAndPreview(workedExample());
    karumenio::app::PlanView* view = preview->view();
    // Fitted: the whole drawing in view, and little more.
    const auto wholeInView = [view, preview] {
        const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
        const QRectF drawing = preview->scene()->drawingRect();
        return shown.contains(drawing) &&
               (shown.width() < drawing.width() * 1.05 || shown.height() < drawing.height() * 1.05);
    };
    QVERIFY(wholeInView());
    // The surveyor zooms in on the drawing.
    for (int notch = 0; notch < 3; ++notch) {
        const QPointF centre = QRectF(view->viewport()->rect()).center();
        QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
    }
    const qreal zoom = view->transform().m11();
    QVERIFY(!wholeInView());

    if (change == QLatin1String("paper")) {
        select("paperList", QStringLiteral("A3"));
    } else if (change == QLatin1String("scale")) {
        select("scaleList", QStringLiteral("500"));
    } else if (change == QLatin1String("angle")) {
        m_form->findChild<QLineEdit*>(QStringLiteral("angleBox"))
            ->setText(QStringLiteral("30.0000"));
    } else if (change == QLatin1String("suggestion")) {
        preview->applySuggestion();
    } else {
        if (change == QLatin1String("extent")) {
            paste(6, 3, QStringLiteral("200"));
        } else if (change == QLatin1String("name")) {
            paste(6, 2, QStringLiteral("K1a"));
        } else {
            paste(12, 7, QStringLiteral("5"));
        }
        click("readButton");
    }
    QVERIFY(!preview->isOutOfDate());
    QCOMPARE(wholeInView(), fitted);
    if (!fitted) {
        QCOMPARE(view->transform().m11(), zoom);
    }
}

void TestPreview::theWheelZoomsAboutThePointUnderTheCursor_data() {
    QTest::addColumn<QPointF>("where");
    QTest::addColumn<int>("delta");
    QTest::newRow("in, at the centre") << QPointF(0.5, 0.5) << 120;
    QTest::newRow("in, near the top left") << QPointF(0.1, 0.15) << 120;
    QTest::newRow("in, near the bottom right, three notches at once") << QPointF(0.9, 0.8) << 360;
    QTest::newRow("out, near the right edge") << QPointF(0.95, 0.4) << -120;
    QTest::newRow("in, half a notch of a touchpad") << QPointF(0.3, 0.7) << 60;
}

void TestPreview::theWheelZoomsAboutThePointUnderTheCursor() {
    QFETCH(QPointF, where);
    QFETCH(int, delta);
    PreviewWindow* preview = readAndPreview(workedExample());
    karumenio::app::PlanView* view = preview->view();
    const QSizeF size = view->viewport()->size();
    const QPointF cursor(where.x() * size.width(), where.y() * size.height());
    for (int turn = 0; turn < 4; ++turn) {
        const QPointF under = view->viewportTransform().inverted().map(cursor);
        const qreal zoom = view->transform().m11();
        QWheelEvent wheel(cursor, view->viewport()->mapToGlobal(cursor), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QVERIFY(view->transform().m11() != zoom);
        const QPointF now = view->viewportTransform().map(under);
        QVERIFY2(QLineF(now, cursor).length() <= 1.0,
                 qPrintable(QStringLiteral("turn %1: moved to %2,%3 from %4,%5")
                                .arg(turn)
                                .arg(now.x())
                                .arg(now.y())
                                .arg(cursor.x())
                                .arg(cursor.y())));
    }
}

void TestPreview::pointTipsShowTheNumbersAsTheSheetDoes_data() {
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("radius");
    QTest::newRow("a negative radius of two decimals") << "10"
                                                       << "20"
                                                       << "-0.25";
    QTest::newRow("coordinates of four decimals") << "-23795.9604"
                                                  << "32832.2515"
                                                  << "1.5";
    QTest::newRow("a radius of many decimals") << "0.5"
                                               << "1e-3"
                                               << "2.345678";
}

void TestPreview::pointTipsShowTheNumbersAsTheSheetDoes() {
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, radius);
    PreviewWindow* preview =
        readAndPreview(QStringLiteral("\tP\t%1\t%2\t%3\r\n\tQ\t0\t0\r\n").arg(x, y, radius));
    const QAbstractItemModel* sheet = m_form->worksheetWindow()->view()->model();
    QString tip;
    for (const QGraphicsItem* item : preview->scene()->items()) {
        if (item->toolTip().startsWith(QStringLiteral("P\n"))) {
            tip = item->toolTip();
        }
    }
    QVERIFY(!tip.isEmpty());
    // Row 6, columns C, D and G, as the cells display them.
    for (const int column : {2, 3, 6}) {
        const QString shown = sheet->index(5, column).data().toString().trimmed();
        QVERIFY(!shown.isEmpty());
        QVERIFY2(tip.contains(QLatin1Char(' ') + shown), qPrintable(tip + " / " + shown));
    }
}

void TestPreview::theMapButtonOpensTheAddressOfThePlan() {
    PreviewWindow* preview = readAndPreview(kTwoParcels);
    auto* button = preview->findChild<QPushButton*>(QStringLiteral("openMap"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("地図で確認"));
    QVERIFY(!button->isEnabled());
    QVERIFY2(button->toolTip().contains(QStringLiteral("座標系")), qPrintable(button->toolTip()));

    QList<QUrl> opened;
    preview->setUrlOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    select("zoneList", QStringLiteral("9"));
    QVERIFY(button->isEnabled());
    const auto location =
        karumenio::job::locatePlan(preview->scene()->plan(), *karumenio::geodesy::planeSystem(9));
    QVERIFY(location && location->mapAddress);
    QCOMPARE(preview->mapAddress(), fromStd(*location->mapAddress));
    QVERIFY(preview->mapAddress().startsWith(QStringLiteral("https://maps.gsi.go.jp/#")));
    button->click();
    QCOMPARE(opened, QList<QUrl>{QUrl(preview->mapAddress())});
    QVERIFY(!preview->findChild<QLabel*>(QStringLiteral("warnings"))->isVisible());
}

void TestPreview::aPlanOutsideItsSystemIsAWarning() {
    // Points in Hakodate with X and Y exchanged fall in the sea in system XI.
    select("zoneList", QStringLiteral("11"));
    PreviewWindow* preview = readAndPreview(
        QStringLiteral("A\tP1\t39808.348\t-247740.634\n\tP2\t39818.348\t-247730.634\n"));
    const QString warnings = preview->findChild<QLabel*>(QStringLiteral("warnings"))->text();
    QVERIFY2(warnings.contains(QStringLiteral("第XI系の範囲外")), qPrintable(warnings));
    QVERIFY2(warnings.contains(QStringLiteral("X と Y が入れ替わっている")), qPrintable(warnings));
    // The map still opens where the points are, so that the surveyor sees the slip.
    QVERIFY(preview->findChild<QPushButton*>(QStringLiteral("openMap"))->isEnabled());
}

void TestPreview::theSurveyMapIsDrawnAndPrintedOnB4() {
    select("paperList", QStringLiteral("B4L"));
    select("scaleList", QStringLiteral("250"));
    PreviewWindow* preview = readAndPreview(kTwoParcels);
    QCOMPARE(preview->scene()->surveyMap(), nullptr);
    const int plainItems = preview->scene()->items().size();

    m_form->findChild<QCheckBox*>(QStringLiteral("surveyMapBox"))->setChecked(true);
    const karumenio::layout::SheetLayout* map = preview->scene()->surveyMap();
    QVERIFY(map);
    QCOMPARE(map->sheets.size(), std::size_t(1));
    QVERIFY(preview->findChild<QLabel*>(QStringLiteral("counts"))
                ->text()
                .endsWith(QStringLiteral("　地積測量図 1 枚")));
    // The map's sheet in place of the plan: its texts, side lengths and the area table's 地積
    // among them, and a marker at each point it draws; none of the plan's 3-unit names.
    QStringList texts;
    for (QGraphicsItem* item : preview->scene()->items()) {
        if (auto* text = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item)) {
            texts.append(text->text());
        }
    }
    QCOMPARE(texts.size(), int(map->sheets[0].texts.size()));
    for (const karumenio::layout::Text& text : map->sheets[0].texts) {
        QVERIFY2(texts.contains(fromStd(text.text)), text.text.c_str());
    }
    QVERIFY(plainItems > 0);
    QVERIFY(texts.contains(QStringLiteral("106.57")));

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("map.pdf"));
    QVERIFY(preview->exportTo(QStringLiteral("pdf"), pdf));
    static const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(readFile(pdf)));
    QVERIFY(box.hasMatch());
    QVERIFY(qAbs(box.captured(1).toDouble() - 1031.8) < 1);
    QVERIFY(qAbs(box.captured(2).toDouble() - 728.5) < 1);
    const QString dxf = folder.filePath(QStringLiteral("map.dxf"));
    QVERIFY(preview->exportTo(QStringLiteral("dxf"), dxf));
    QVERIFY(readFile(dxf).contains("P_HENCHO"));
}

// The job's 図面情報 kept for its points file reaches the map the preview draws and prints:
// marks, the 引照点, the neighbours, the title block's rows. KARUMENIO_TEST_PDF names a file
// to keep the print in, for looking at it.
void TestPreview::theRegistrationExamplesMapHoldsEveryItemOfTheDrawingInfo() {
    const QString example =
        QStringLiteral(KARUMENIO_TEST_DATA "/../../examples/registration_two_parcels.tsv");
    karumenio::app::DrawingInfo info;
    info.map.landCategory = karumenio::parcel::findLandCategory("宅地");
    info.map.titleBlock = {"千葉県市川市八幡一丁目",
                           "669番1、669番2",
                           "",
                           "2025-04-01",
                           "測量 太郎",
                           "2025-03-20",
                           "山田 花子"};
    for (const char* line :
         {"670番:No.3-No.4", "道路:No.4-No.2", "668番:No.2-No.6", "水路:No.6-No.3"}) {
        info.neighbours.push_back(*karumenio::parcel::parseNeighbour(line));
    }
    using karumenio::app::DrawingInfoStore;
    DrawingInfoStore::save(DrawingInfoStore::keyOf(example), info);
    select("paperList", QStringLiteral("B4L"));
    select("scaleList", QStringLiteral("250"));
    select("zoneList", QStringLiteral("9"));
    m_form->findChild<QCheckBox*>(QStringLiteral("surveyMapBox"))->setChecked(true);
    QVERIFY(m_form->openWorksheet()->openPointsFile(example));
    click("readButton");
    click("previewButton");
    PreviewWindow* preview = m_form->previewWindow();
    QVERIFY(preview->scene()->surveyMap());

    QStringList texts;
    for (QGraphicsItem* item : preview->scene()->items()) {
        if (auto* text = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item)) {
            texts.append(text->text());
        }
    }
    for (const char* item : {"座標求積表", "求積方法", "座標法", "2025年3月20日", "山田 花子",
                             "千葉県市川市八幡一丁目", "670番", "道路", "668番", "水路", "境界標",
                             "コンクリート杭", "刻印", "座標一覧", "K1", "引照点"}) {
        QVERIFY2(texts.contains(QString::fromUtf8(item)), item);
    }
    // Nothing the registry asks for is missing.
    const QString warnings = preview->findChild<QLabel*>(QStringLiteral("warnings"))->text();
    QVERIFY2(!warnings.contains(QStringLiteral("入力されていません")), qPrintable(warnings));

    QTemporaryDir folder;
    const QString kept = qEnvironmentVariable("KARUMENIO_TEST_PDF");
    QVERIFY(preview->exportTo(QStringLiteral("pdf"),
                              kept.isEmpty() ? folder.filePath(QStringLiteral("map.pdf")) : kept));
}

void TestPreview::theSubdivisionReachesTheMap_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("signs");
    QTest::addColumn<QString>("registeredArea");
    QTest::addColumn<QString>("remainder");
    // Texts the map shows, and texts it must not show; a warning the preview lists ("" none).
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QString>("warning");
    QTest::newRow("circled signs, the remainder marked, the registered area within tolerance")
        << QStringLiteral("670") << QStringLiteral("circled") << QStringLiteral("1200")
        << QStringLiteral("670-1")
        << QStringList{QStringLiteral("① 670-1（残地）"), QStringLiteral("② 670-2"),
                       QStringLiteral("③ 670-3"),         QStringLiteral("分筆の面積"),
                       QStringLiteral("分筆前 面積"),     QStringLiteral("一致")}
        << QStringList{} << QString();
    QTest::newRow("iroha signs, the registered area beyond the class's tolerance")
        << QStringLiteral("670") << QStringLiteral("iroha") << QStringLiteral("1150") << QString()
        << QStringList{QStringLiteral("(イ) 670-1"), QStringLiteral("(ハ) 670-3"),
                       QStringLiteral("分筆の面積")}
        << QStringList{QStringLiteral("① 670-1")} << QStringLiteral("地積更正");
    QTest::newRow("no parent, no subdivision")
        << QString() << QStringLiteral("circled") << QString() << QString() << QStringList{}
        << QStringList{QStringLiteral("分筆の面積"), QStringLiteral("① 670-1")} << QString();
}

// The subdivision kept in the job's 図面情報 reaches the map the preview draws and prints.
// KARUMENIO_TEST_PRINTS names a folder to keep each row's print in, for looking at it.
void TestPreview::theSubdivisionReachesTheMap() {
    QFETCH(QString, parent);
    QFETCH(QString, signs);
    QFETCH(QString, registeredArea);
    QFETCH(QString, remainder);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);
    QFETCH(QString, warning);
    const QString example =
        QStringLiteral(KARUMENIO_TEST_DATA "/../../examples/subdivision_3lots.tsv");
    karumenio::app::DrawingInfo info;
    info.subdivision = {parent.toStdString(), signs.toStdString(), registeredArea.toStdString(),
                        registeredArea.isEmpty() ? "" : "甲2", remainder.toStdString()};
    using karumenio::app::DrawingInfoStore;
    DrawingInfoStore::save(DrawingInfoStore::keyOf(example), info);
    select("paperList", QStringLiteral("B4L"));
    select("scaleList", QStringLiteral("250"));
    m_form->findChild<QCheckBox*>(QStringLiteral("surveyMapBox"))->setChecked(true);
    QVERIFY(m_form->openWorksheet()->openPointsFile(example));
    click("readButton");
    click("previewButton");
    PreviewWindow* preview = m_form->previewWindow();
    QVERIFY(preview->scene()->surveyMap());

    QStringList texts;
    for (QGraphicsItem* item : preview->scene()->items()) {
        if (auto* text = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item)) {
            texts.append(text->text());
        }
    }
    for (const QString& text : shown) {
        QVERIFY2(texts.contains(text), qPrintable(text));
    }
    for (const QString& text : absent) {
        QVERIFY2(!texts.contains(text), qPrintable(text));
    }
    const QString warnings = preview->findChild<QLabel*>(QStringLiteral("warnings"))->text();
    QCOMPARE(warnings.contains(QStringLiteral("地積更正")), !warning.isEmpty());

    // Named after the row's first word: subdivision-circled.pdf and so on.
    QTemporaryDir folder;
    const QString kept = qEnvironmentVariable("KARUMENIO_TEST_PRINTS");
    const QString name = QStringLiteral("subdivision-%1.pdf")
                             .arg(QString::fromUtf8(QTest::currentDataTag()).section(' ', 0, 0));
    QVERIFY(preview->exportTo(QStringLiteral("pdf"),
                              QDir(kept.isEmpty() ? folder.path() : kept).filePath(name)));
}

KARUMENIO_QTEST_MAIN(TestPreview)
#include "test_preview.moc"

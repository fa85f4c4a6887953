#include "app/screenshots.h"
#include "guide/formlook.h"
#include "testmain.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(KARUMENIO_TEST_DATA);

QString workedExample() {
    QFile file(kData + QStringLiteral("/worked_example.tsv"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The share of pixels that differ from the first pixel: a blank picture has none.
double inkShare(const QImage& image) {
    const QRgb background = image.pixel(image.width() / 2, image.height() - 1);
    qsizetype ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += image.pixel(x, y) != background ? 1 : 0;
        }
    }
    return double(ink) / (double(image.width()) * image.height());
}

// The pixels in which a shipped picture and the program's own drawing differ.
qsizetype differingPixels(const QImage& shipped, const QImage& drawn) {
    const QImage same = shipped.convertToFormat(drawn.format());
    qsizetype differ = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            differ += same.pixel(x, y) != drawn.pixel(x, y) ? 1 : 0;
        }
    }
    return differ;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT
  private slots:
    void examplePictureIsTheWorksheetDrawing();
    void examplePlanIsThePreviewsDrawing();
    void screenshotsOfAllWindows_data();
    void screenshotsOfAllWindows();

  private:
    QTemporaryDir m_folder;
    QStringList m_files;
};

void TestPictures::examplePictureIsTheWorksheetDrawing() {
    const QString example = workedExample();
    QVERIFY(!example.isEmpty());
    const QImage picture = karumenio::app::renderExamplePicture(example);
    QCOMPARE(picture.size(), QSize(623, 251));
    QVERIFY(inkShare(picture) > 0.05);
    // The shipped picture is this drawing (headings, columns and rows as the worksheet window
    // shows them), but for a few pixels of the lettering; regenerated with --example-picture.
    const QImage shipped(QStringLiteral(":/karumenio/example.png"));
    QCOMPARE(shipped.size(), picture.size());
    const qsizetype differ = differingPixels(shipped, picture);
    QVERIFY2(differ < picture.width() * picture.height() / 100,
             qPrintable(QString::number(differ)));
    // An empty template draws no data: the example's rows make a difference.
    const QImage empty = karumenio::app::renderExamplePicture(QStringLiteral("\r\n"));
    QVERIFY(empty != picture);
}

void TestPictures::examplePlanIsThePreviewsDrawing() {
    const QImage plan = karumenio::app::renderExamplePlan(workedExample());
    // An A1 sheet, 380 pixels wide, with the frame and the lines drawn on it.
    QCOMPARE(plan.size(), QSize(380, 268));
    QVERIFY(inkShare(plan) > 0.01);
    // The shipped drawing is this one: the same pixels but for a few of the lettering.
    const QImage shipped(QStringLiteral(":/karumenio/example-plan.png"));
    QCOMPARE(shipped.size(), plan.size());
    const qsizetype differ = differingPixels(shipped, plan);
    QVERIFY2(differ < plan.width() * plan.height() / 100, qPrintable(QString::number(differ)));
}

void TestPictures::screenshotsOfAllWindows_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window") << "mainwindow.png" << QSize();
    QTest::newRow("usage window") << "usagewindow.png" << QSize(554, 586);
    QTest::newRow("example window") << "examplewindow.png" << QSize(1050, 377);
    QTest::newRow("worksheet window") << "worksheet.png" << QSize();
    QTest::newRow("worksheet after a message that names a cell")
        << "worksheet-cellnamed.png" << QSize();
    QTest::newRow("plan preview") << "preview.png" << QSize();
    QTest::newRow("plan preview out of date") << "preview-outofdate.png" << QSize();
    QTest::newRow("plan preview with the survey map") << "preview-surveymap.png" << QSize();
    QTest::newRow("drawing information dialog") << "drawinginfo.png" << QSize();
    QTest::newRow("usage window, second page") << "usagewindow-more.png" << QSize(554, 586);
    QTest::newRow("save dialog") << "filedialog.png" << QSize();
}

void TestPictures::screenshotsOfAllWindows() {
    QFETCH(QString, file);
    QFETCH(QSize, size);
    if (m_files.isEmpty()) {
        QVERIFY(m_folder.isValid());
        m_files = karumenio::app::saveScreenshots(m_folder.path(), workedExample());
        QCOMPARE(m_files.size(), karumenio::app::kScreenshotCount);
    }
    const QImage image(m_folder.filePath(file));
    QVERIFY2(!image.isNull(), qPrintable(file));
    if (size.isValid()) {
        QCOMPARE(image.size() / image.devicePixelRatio(), size);
    }
    QVERIFY(inkShare(image) > 0.01);
}

KARUMENIO_QTEST_MAIN(TestPictures)

#include "test_pictures.moc"

#include "screenshots.h"

#include "mainwindow.h"
#include "messagesink.h"
#include "planview.h"
#include "previewwindow.h"
#include "worksheetmodel.h"
#include "worksheetview.h"
#include "worksheetwindow.h"

#include "guide/examplewindow.h"
#include "guide/usagewindow.h"
#include "job/job.h"
#include "points/worksheet.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>

namespace karumenio::app {

namespace {

constexpr int kPictureWidth = 623;
constexpr int kPictureHeight = 251;
// Row 5, the heading row, 0-based.
constexpr int kHeadingRow = 4;

// Screenshots must not wait on message boxes.
class SilentSink : public MessageSink {
  public:
    void information(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override {}
    int question(QWidget*, const QString&, const QString&, const QStringList&) override {
        return 0;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

bool save(const QPixmap& picture, const QString& path, QStringList& written) {
    if (!picture.save(path)) {
        return false;
    }
    written.append(path);
    return true;
}

} // namespace

QImage renderExamplePicture(const QString& workedExampleText) {
    job::Job job;
    WorksheetModel model(job.sheet());
    WorksheetView view(&model);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(kPictureWidth, kPictureHeight);
    // The excerpt shows the five visible data columns in full: narrow them evenly to fit.
    QHeaderView* columns = view.horizontalHeader();
    int shown = 0;
    int total = 0;
    for (int column = 0; column < 7; ++column) {
        if (!view.isColumnHidden(column)) {
            ++shown;
            total += columns->sectionSize(column);
        }
    }
    if (total > kPictureWidth) {
        int left = kPictureWidth;
        for (int column = 0; column < 7; ++column) {
            if (!view.isColumnHidden(column)) {
                const int width = left / shown--;
                columns->resizeSection(column, width);
                left -= width;
            }
        }
    }
    view.show();
    view.selectCells(6, 1, 6, 1);
    view.pasteText(workedExampleText);
    view.clearSelection();
    view.setCurrentIndex(QModelIndex());
    view.verticalScrollBar()->setValue(kHeadingRow);
    QApplication::processEvents();
    return view.grab(QRect(0, 0, kPictureWidth, kPictureHeight)).toImage();
}

QStringList saveScreenshots(const QString& folder, const QString& workedExampleText) {
    QStringList written;
    QDir().mkpath(folder);
    const QDir dir(folder);
    SilentSink sink;

    MainWindow main(&sink);
    main.show();
    WorksheetWindow* sheet = main.openWorksheet();
    if (!workedExampleText.isEmpty()) {
        sheet->view()->selectCells(6, 1, 6, 1);
        sheet->view()->pasteText(workedExampleText);
        sheet->view()->selectCells(1, 1, 2, 7);
    }
    main.findChild<QPushButton*>(QStringLiteral("usageButton"))->click();
    guide::UsageWindow* usage = main.usageWindow();
    usage->findChild<QPushButton*>(QStringLiteral("exampleButton"))->click();
    // The window the button opened; asking again only brings it forward.
    guide::ExampleWindow* example = guide::ExampleWindow::showExample();
    QApplication::processEvents();

    // The plan of the example, read as the surveyor reads it.
    if (!workedExampleText.isEmpty()) {
        main.findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    }
    PreviewWindow* preview = main.openPreview();
    QApplication::processEvents();
    preview->view()->fitAll();
    save(preview->grab(), dir.filePath(QStringLiteral("preview.png")), written);
    preview->close();

    save(main.grab(), dir.filePath(QStringLiteral("mainwindow.png")), written);
    save(sheet->grab(), dir.filePath(QStringLiteral("worksheet.png")), written);
    save(usage->grab(), dir.filePath(QStringLiteral("usagewindow.png")), written);
    save(example->grab(), dir.filePath(QStringLiteral("examplewindow.png")), written);
    example->close();
    usage->close();
    sheet->close();
    main.close();
    return written;
}

} // namespace karumenio::app

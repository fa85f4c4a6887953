#include "screenshots.h"

#include "drawinginfodialog.h"
#include "mainwindow.h"
#include "messagesink.h"
#include "planscene.h"
#include "planview.h"
#include "previewwindow.h"
#include "worksheetmodel.h"
#include "worksheetview.h"
#include "worksheetwindow.h"

#include "guide/examplewindow.h"
#include "guide/usagewindow.h"
#include "job/job.h"
#include "plan/fitcheck.h"
#include "points/pointtable.h"
#include "spreadsheet/worksheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>

namespace karumenio::app {

namespace {

constexpr int kPictureWidth = 623;
constexpr int kPictureHeight = 251;
constexpr int kPlanPictureWidth = 380;
// Row 5, the heading row, 0-based.
constexpr int kHeadingRow = 4;

// Screenshots must not wait on message boxes; the last warning is kept to be pictured.
class SilentSink : public MessageSink {
  public:
    void information(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString& title, const QString& text) override {
        lastWarning = {title, text};
    }
    int question(QWidget*, const QString&, const QString&, const QStringList&) override {
        return 0;
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }

    std::pair<QString, QString> lastWarning;
};

// Lets the windows paint themselves (and a window manager place them) before a picture.
void settle(int milliseconds) {
    QApplication::processEvents();
    if (milliseconds > 0) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QApplication::processEvents();
}

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
    // The excerpt shows the sheet as the surveyor sees it, row numbers and column letters
    // included, and the example's columns (A to the radius) in full: narrow them evenly to fit
    // beside the row numbers.
    view.show();
    QApplication::processEvents();
    const int room = kPictureWidth - view.verticalHeader()->width();
    QHeaderView* columns = view.horizontalHeader();
    int shown = 0;
    int total = 0;
    for (int column = 0; column < points::kMarkRadiusColumn; ++column) {
        if (!view.isColumnHidden(column)) {
            ++shown;
            total += columns->sectionSize(column);
        }
    }
    if (total > room) {
        int left = room;
        for (int column = 0; column < points::kMarkRadiusColumn; ++column) {
            if (!view.isColumnHidden(column)) {
                const int width = left / shown--;
                columns->resizeSection(column, width);
                left -= width;
            }
        }
    }
    view.selectCells(6, 1, 6, 1);
    view.pasteText(workedExampleText);
    view.clearSelection();
    view.setCurrentIndex(QModelIndex());
    view.verticalScrollBar()->setValue(kHeadingRow);
    QApplication::processEvents();
    return view.grab(QRect(0, 0, kPictureWidth, kPictureHeight)).toImage();
}

QImage renderExamplePlan(const QString& workedExampleText) {
    job::Job job;
    const QByteArray rows = workedExampleText.toUtf8();
    job.paste(std::string_view(rows.constData(), static_cast<std::size_t>(rows.size())));
    job.read();
    plan::Plan drawing = job.plan();
    const plan::FitCheck check = plan::checkFit(drawing, *drawing.paper, *drawing.scale);
    if (check.fittingScale != nullptr) {
        job::Settings settings = job.settings();
        settings.scale = check.fittingScale;
        job.setSettings(std::move(settings));
        drawing = job.plan();
    }
    PlanScene scene;
    scene.setBackground(PlanScene::Background::Light);
    scene.setPlan(drawing);
    const QRectF sheet = scene.sheetRect();
    QImage image(kPlanPictureWidth, qRound(kPlanPictureWidth * sheet.height() / sheet.width()),
                 QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.renderDrawing(painter, QRectF(image.rect()), sheet);
    return image;
}

QStringList saveScreenshots(const QString& folder, const QString& workedExampleText) {
    QStringList written;
    QDir().mkpath(folder);
    const QDir dir(folder);
    SilentSink sink;
    // On a real display the whole screen is saved too, window frames and titles included.
    const bool display = QGuiApplication::platformName() != QLatin1String("offscreen");
    // A window put over the pictured one shows in the screen's picture only.
    const auto shoot = [&](QWidget* window, const QString& name, QWidget* over = nullptr) {
        window->raise();
        window->activateWindow();
        if (over != nullptr) {
            over->raise();
        }
        settle(display ? 600 : 0);
        save(window->grab(), dir.filePath(name + QStringLiteral(".png")), written);
        if (display) {
            save(window->screen()->grabWindow(0),
                 dir.filePath(QStringLiteral("desktop-") + name + QStringLiteral(".png")), written);
        }
    };

    MainWindow main(&sink);
    main.show();
    shoot(&main, QStringLiteral("mainwindow"));
    WorksheetWindow* sheet = main.openWorksheet();
    if (!workedExampleText.isEmpty()) {
        sheet->view()->selectCells(6, 1, 6, 1);
        sheet->view()->pasteText(workedExampleText);
        sheet->view()->selectCells(1, 1, 2, 7);
    }
    shoot(sheet, QStringLiteral("worksheet"));

    // The plan of the example, read as the surveyor reads it, then with the sheet changed.
    if (!workedExampleText.isEmpty()) {
        main.findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    }
    PreviewWindow* preview = main.openPreview();
    preview->view()->fitAll();
    shoot(preview, QStringLiteral("preview"));
    if (!workedExampleText.isEmpty()) {
        sheet->view()->selectCells(7, 3, 7, 3);
        sheet->view()->pasteText(QStringLiteral("120"));
        shoot(preview, QStringLiteral("preview-outofdate"));
        // The parcel survey map on B4 at 1:250 (or the scale that holds the points), in system
        // IX, with its print as a PDF beside the pictures; of the example as it was pasted.
        main.worksheetModel()->undoStack()->undo();
        main.findChild<QPushButton*>(QStringLiteral("readButton"))->click();
        const auto choose = [&](const char* list, const QVariant& data) {
            auto* combo = main.findChild<QComboBox*>(QString::fromLatin1(list));
            combo->setCurrentIndex(combo->findData(data));
        };
        // The surveyor's own choices are put back afterwards, as they are remembered.
        auto* surveyMap = main.findChild<QCheckBox*>(QStringLiteral("surveyMapBox"));
        const bool surveyMapBefore = surveyMap->isChecked();
        const QVariant zoneBefore =
            main.findChild<QComboBox*>(QStringLiteral("zoneList"))->currentData();
        choose("paperList", QStringLiteral("B4L"));
        choose("scaleList", QStringLiteral("250"));
        choose("zoneList", 9);
        surveyMap->setChecked(true);
        if (preview->hasSuggestion()) {
            preview->applySuggestion();
        }
        preview->view()->fitAll();
        shoot(preview, QStringLiteral("preview-surveymap"));
        const QString pdf = dir.filePath(QStringLiteral("preview-surveymap.pdf"));
        if (preview->exportTo(QStringLiteral("pdf"), pdf)) {
            written.append(pdf);
        }
        DrawingInfoDialog info(DrawingInfo{}, {}, &main);
        info.show();
        shoot(&info, QStringLiteral("drawinginfo"));
        info.close();
        surveyMap->setChecked(surveyMapBefore);
        choose("zoneList", zoneBefore);

        // A read that fails at a cell: the worksheet shows it selected in the middle, beside the
        // main window and the preview, under the message as the surveyor sees them.
        sheet->view()->selectCells(18, 1, 18, 1);
        sheet->view()->pasteText(QStringLiteral("\tT8\tx\t10\r\n"));
        main.findChild<QPushButton*>(QStringLiteral("readButton"))->click();
        QMessageBox message(QMessageBox::Warning, sink.lastWarning.first, sink.lastWarning.second,
                            QMessageBox::Ok, &main);
        message.setWindowModality(Qt::NonModal);
        message.show();
        shoot(sheet, QStringLiteral("worksheet-cellnamed"), &message);
        message.close();
        main.worksheetModel()->undoStack()->undo();
    }
    preview->close();

    main.findChild<QPushButton*>(QStringLiteral("usageButton"))->click();
    guide::UsageWindow* usage = main.usageWindow();
    shoot(usage, QStringLiteral("usagewindow"));
    usage->showMorePage(true);
    shoot(usage, QStringLiteral("usagewindow-more"));
    usage->showMorePage(false);
    usage->findChild<QPushButton*>(QStringLiteral("exampleButton"))->click();
    // The window the button opened; asking again only brings it forward.
    guide::ExampleWindow* example = guide::ExampleWindow::showExample();
    shoot(example, QStringLiteral("examplewindow"));

    // Qt's own save dialog, as the exports show it where the desktop has none of its own.
    QFileDialog dialog(&main, QStringLiteral("DXF 出力…"), QString(),
                       QStringLiteral("DXF 図面 (*.dxf)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.show();
    shoot(&dialog, QStringLiteral("filedialog"));
    dialog.close();

    example->close();
    usage->close();
    sheet->close();
    main.close();
    return written;
}

} // namespace karumenio::app

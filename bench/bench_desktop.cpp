#include "app/mainwindow.h"
#include "app/messagesink.h"
#include "app/planexport.h"
#include "app/planscene.h"
#include "app/planview.h"
#include "app/previewwindow.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"
#include "guide/formlook.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

class SilentSink : public karumenio::app::MessageSink {
  public:
    void information(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override {}
    int question(QWidget*, const QString&, const QString&, const QStringList&) override {
        return 0;
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
};

QString pointRows(int count) {
    QString rows;
    for (int i = 0; i < count; ++i) {
        rows += QStringLiteral("%1\tP%2\t%3.125\t-%4.5\t%5\r\n")
                    .arg(i % 40 == 0 ? QStringLiteral("K") : QString())
                    .arg(i + 1)
                    .arg(1000 + i)
                    .arg(2000 + i)
                    .arg(i % 3);
    }
    return rows;
}

// From creating the main window, which builds the worksheet template, to its first paint.
void BM_StartUpToMainWindowShown(benchmark::State& state) {
    SilentSink sink;
    for (auto _ : state) {
        karumenio::app::MainWindow window(&sink);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            state.SkipWithError("main window not shown");
            break;
        }
        window.repaint();
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToMainWindowShown)->Unit(benchmark::kMillisecond);

// A clipboard paste of 3001 points at A6 with the repaint of the visible rows.
void BM_Paste3001RowsWithRepaint(benchmark::State& state) {
    SilentSink sink;
    const QString rows = pointRows(3001);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<karumenio::app::MainWindow>(&sink);
        karumenio::app::WorksheetView* view = window->openWorksheet()->view();
        if (!QTest::qWaitForWindowExposed(view->window())) {
            state.SkipWithError("worksheet window not shown");
            break;
        }
        view->selectCells(6, 1, 6, 1);
        state.ResumeTiming();

        view->pasteText(rows);
        view->viewport()->repaint();

        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste3001RowsWithRepaint)->Unit(benchmark::kMillisecond);

// A main window with 3001 points pasted and read.
std::unique_ptr<karumenio::app::MainWindow> readWindow(SilentSink& sink) {
    auto window = std::make_unique<karumenio::app::MainWindow>(&sink);
    karumenio::app::WorksheetView* view = window->openWorksheet()->view();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(pointRows(3001));
    window->findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    return window;
}

// The preview opened on 3001 points: plan, scene and the first paint.
void BM_PreviewFirstDisplay3001Points(benchmark::State& state) {
    SilentSink sink;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = readWindow(sink);
        state.ResumeTiming();
        karumenio::app::PreviewWindow* preview = window->openPreview();
        // A full paint of the view, offscreen or not.
        benchmark::DoNotOptimize(preview->view()->viewport()->grab());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PreviewFirstDisplay3001Points)->Unit(benchmark::kMillisecond);

void BM_PreviewRepaint3001Points(benchmark::State& state) {
    SilentSink sink;
    auto window = readWindow(sink);
    karumenio::app::PreviewWindow* preview = window->openPreview();
    for (auto _ : state) {
        benchmark::DoNotOptimize(preview->view()->viewport()->grab());
    }
}
BENCHMARK(BM_PreviewRepaint3001Points)->Unit(benchmark::kMillisecond);

void BM_PdfExport3001Points(benchmark::State& state) {
    SilentSink sink;
    auto window = readWindow(sink);
    karumenio::app::PreviewWindow* preview = window->openPreview();
    for (auto _ : state) {
        auto bytes = karumenio::app::pdfBytes(*preview->scene());
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_PdfExport3001Points)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    karumenio::guide::applyProgramLook();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

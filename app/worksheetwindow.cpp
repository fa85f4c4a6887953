#include "worksheetwindow.h"

#include "messagesink.h"
#include "worksheetmodel.h"
#include "worksheetview.h"

#include "errortext.h"

#include "guide/formlook.h"
#include "job/job.h"
#include "points/inputtemplate.h"
#include "points/pointtable.h"
#include "spreadsheet/formulaparser.h"
#include "spreadsheet/worksheet.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QUndoStack>
#include <QUrl>

namespace karumenio::app {

namespace {

const QString kOpenTitle = QStringLiteral("座標ファイルを開く");

} // namespace

WorksheetWindow::WorksheetWindow(WorksheetModel* model, MessageSink* sink, QWidget* parent,
                                 job::Job* job)
    : QMainWindow(parent), m_model(model), m_sink(sink), m_job(job),
      m_view(new WorksheetView(model, this)) {
    setObjectName(QStringLiteral("WorksheetWindow"));
    setWindowTitle(QStringLiteral("Microsoft Excel ワークシート - %1")
                       .arg(QString::fromStdString(model->worksheet().name())));
    setWindowIcon(guide::programIcon());
    setCentralWidget(m_view);
    resize(720, 520);

    if (m_job != nullptr) {
        setAcceptDrops(true);
        QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
        file->addAction(QStringLiteral("座標ファイルを開く…"), QKeySequence::Open, this,
                        &WorksheetWindow::choosePointsFile);
    }
    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction* undo = model->undoStack()->createUndoAction(this, QStringLiteral("元に戻す"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = model->undoStack()->createRedoAction(this, QStringLiteral("やり直し"));
    // Ctrl+Y as spreadsheets have it, and the platform's own redo key.
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    // Copy, paste and delete keys are the view's own; the menu offers the same actions.
    edit->addAction(QStringLiteral("コピー"), QKeySequence::Copy, m_view,
                    &WorksheetView::copySelection)
        ->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(QStringLiteral("切り取り"), QKeySequence::Cut, m_view,
                    &WorksheetView::cutSelection)
        ->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(QStringLiteral("貼り付け"), QKeySequence::Paste, m_view,
                    &WorksheetView::pasteClipboard)
        ->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(QStringLiteral("数式と値のクリア"), QKeySequence::Delete, m_view,
                    &WorksheetView::clearSelectedCells)
        ->setShortcutContext(Qt::WidgetShortcut);

    edit->addSeparator();
    edit->addAction(QStringLiteral("新しい座標表"), this, &WorksheetWindow::newSheet);

    m_view->setReplaceJobQuestion([this] { return askReplaceJob(); });
    // Row and column of the current cell, since the sheet shows no headings.
    auto* where = new QLabel(this);
    where->setObjectName(QStringLiteral("currentCell"));
    statusBar()->addWidget(where);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [where](const QModelIndex& current) {
                where->setText(current.isValid() ? QString::fromStdString(spreadsheet::cellName(
                                                       current.row() + 1, current.column() + 1))
                                                 : QString());
            });

    connect(model, &WorksheetModel::editFailed, this,
            [this, sink](const QString& text, const QString& cell) {
                // The cell the message names is shown, so the surveyor need not look for it.
                if (const auto at = spreadsheet::parseCellName(cell.toStdString())) {
                    const auto [row, column] = *at;
                    m_view->showCell(row, column);
                }
                sink->warning(this, windowTitle(), text);
            });
    m_view->setFocus();
}

namespace {

// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

void WorksheetWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (m_job != nullptr && !droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void WorksheetWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (m_job != nullptr && !path.isEmpty()) {
        event->acceptProposedAction();
        openPointsFile(path);
    }
}

int WorksheetWindow::widthForAllColumns() const {
    int width = 0;
    const int shown = m_model->worksheet().layout().lastShownColumn(m_model->columnCount());
    for (int column = 0; column < shown; ++column) {
        if (!m_view->isColumnHidden(column)) {
            width += m_view->columnWidth(column);
        }
    }
    const int frame = m_view->frameWidth() * 2 + m_view->verticalHeader()->width();
    return width + frame + m_view->verticalScrollBar()->sizeHint().width();
}

void WorksheetWindow::commitPendingEdit() {
    m_view->commitPendingEdit();
}

void WorksheetWindow::choosePointsFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, kOpenTitle, QString(),
        QStringLiteral("座標ファイル (*.sim *.SIM *.csv *.CSV *.tsv *.TSV *.txt *.TXT);;"
                       "SIMA (*.sim *.SIM);;CSV/TSV/TXT (*.csv *.CSV *.tsv *.TSV *.txt *.TXT);;"
                       "すべてのファイル (*)"));
    if (!path.isEmpty()) {
        openPointsFile(path);
    }
}

int WorksheetWindow::askReplaceJob() {
    return m_sink->question(this, windowTitle(),
                            QStringLiteral("ワークシートには前の座標が入っています。"
                                           "前の座標を消して新しい座標に置き換えますか？"),
                            {QStringLiteral("置き換える"), QStringLiteral("上から貼り付ける"),
                             QStringLiteral("キャンセル")});
}

void WorksheetWindow::newSheet() {
    commitPendingEdit();
    const int answer = m_sink->question(
        this, windowTitle(),
        QStringLiteral("ワークシートを最初の状態に戻します。入力した座標はすべて消えます"
                       "（「元に戻す」で取り消せます）。"),
        {QStringLiteral("新しい座標表にする"), QStringLiteral("キャンセル")});
    if (answer == 0) {
        m_model->restoreTemplate();
        emit pointsFileOpened(QString());
        // A new job starts where the points go.
        m_view->scrollToTop();
        m_view->horizontalScrollBar()->setValue(0);
        m_view->selectCells(points::kFirstDataRow, 1, points::kFirstDataRow, 1);
    }
}

bool WorksheetWindow::openPointsFile(const QString& path) {
    commitPendingEdit();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_sink->warning(this, kOpenTitle,
                        QStringLiteral("座標ファイルを開けません: %1\n%2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    // A file of that size is no list of points; reading it whole would only exhaust memory.
    if (static_cast<std::uintmax_t>(file.size()) > job::kPointsFileLimit) {
        m_sink->warning(
            this, kOpenTitle,
            QStringLiteral("座標ファイルが大きすぎるため読めません（%1 MB を超えています）: %2")
                .arg(job::kPointsFileLimit >> 20)
                .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::string name = QFileInfo(path).fileName().toStdString();
    // Only a file that can be read asks whether it replaces the job: it is tried on a sheet
    // of its own first.
    if (m_model->holdsAJob()) {
        try {
            job::Job trial(job::Job::History::None);
            trial.openPointsFile(content, name);
        } catch (const std::exception& error) {
            m_sink->warning(this, kOpenTitle, errorText(error));
            return false;
        }
    }
    const int answer = m_model->holdsAJob() ? askReplaceJob() : 1;
    if (answer != 0 && answer != 1) {
        return false;
    }
    QUndoStack* undo = m_model->undoStack();
    if (answer == 0) {
        undo->beginMacro(kOpenTitle);
        m_model->clearJob();
    }
    survey::OpenedFile opened;
    try {
        opened = m_job->openPointsFile(content, name);
    } catch (const std::exception& error) {
        if (answer == 0) {
            // Nothing lost: the cleared job comes back.
            undo->endMacro();
            undo->undo();
        }
        m_sink->warning(this, kOpenTitle, errorText(error));
        return false;
    }
    m_model->recordEdit(std::move(opened.record), kOpenTitle);
    if (answer == 0) {
        undo->endMacro();
    }
    emit pointsFileOpened(path);
    if (!opened.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : opened.warnings) {
            lines << QString::fromStdString(warning);
        }
        m_sink->information(this, kOpenTitle, lines.join(QLatin1Char('\n')));
    }
    return true;
}

} // namespace karumenio::app

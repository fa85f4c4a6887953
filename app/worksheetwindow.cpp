#include "worksheetwindow.h"

#include "messagesink.h"
#include "worksheetmodel.h"
#include "worksheetview.h"

#include "guide/formlook.h"
#include "job/session.h"
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

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kOpenTitle = fromStd(job::kOpenTitle);

} // namespace

WorksheetWindow::WorksheetWindow(WorksheetModel* model, MessageSink* sink, QWidget* parent,
                                 job::Session* session)
    : QMainWindow(parent), m_model(model), m_sink(sink), m_session(session),
      m_view(new WorksheetView(model, this)) {
    setObjectName(QStringLiteral("WorksheetWindow"));
    setWindowTitle(fromStd(job::sheetTitle(model->worksheet())));
    setWindowIcon(guide::programIcon());
    setCentralWidget(m_view);
    resize(720, 520);

    if (m_session != nullptr) {
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
    if (m_session != nullptr && !droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void WorksheetWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (m_session != nullptr && !path.isEmpty()) {
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

namespace {

// A question of the core in a box of the sink; the index of the answer taken.
int ask(MessageSink* sink, QWidget* parent, const job::Question& question) {
    QStringList answers;
    for (const std::string& answer : question.answers) {
        answers.append(fromStd(answer));
    }
    return sink->question(parent, fromStd(question.title), fromStd(question.text), answers);
}

} // namespace

int WorksheetWindow::askReplaceJob() {
    return ask(m_sink, this, job::replaceJobQuestion(m_model->worksheet()));
}

void WorksheetWindow::showMessage(const job::Message& message) {
    if (message.warning) {
        m_sink->warning(this, fromStd(message.title), fromStd(message.text));
    } else {
        m_sink->information(this, fromStd(message.title), fromStd(message.text));
    }
}

void WorksheetWindow::newSheet() {
    commitPendingEdit();
    if (ask(m_sink, this, job::newSheetQuestion(m_model->worksheet())) == 0) {
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
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(job::openFailure(shown, file.errorString().toStdString()));
        return false;
    }
    if (const auto refusal =
            job::Session::pointsFileRefusal(static_cast<std::uintmax_t>(file.size()), shown)) {
        showMessage(*refusal);
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::string name = QFileInfo(path).fileName().toStdString();
    // Only a file that can be opened asks whether it replaces the job.
    if (const auto refusal = job::Session::pointsFileRefusal(content, name, shown)) {
        showMessage(*refusal);
        return false;
    }
    // A table of marks fills in the job on the sheet: nothing to replace.
    const job::ReplaceAnswer answer =
        m_model->holdsAJob() && !job::Session::addsToTheJob(content, name)
            ? job::replaceAnswer(askReplaceJob())
            : job::ReplaceAnswer::PasteOver;
    if (answer == job::ReplaceAnswer::Cancel) {
        return false;
    }
    const bool replace = answer == job::ReplaceAnswer::Replace;
    QUndoStack* undo = m_model->undoStack();
    if (replace) {
        undo->beginMacro(kOpenTitle);
        m_model->clearJob();
    }
    survey::OpenedFile opened;
    try {
        opened = m_session->job().openPointsFile(content, name);
    } catch (const std::exception& error) {
        if (replace) {
            // Nothing lost: the cleared job comes back.
            undo->endMacro();
            undo->undo();
        }
        showMessage(job::failureMessage(job::kOpenTitle, error));
        return false;
    }
    m_model->recordEdit(std::move(opened.record), kOpenTitle);
    if (replace) {
        undo->endMacro();
    }
    emit pointsFileOpened(path);
    if (!opened.warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : opened.warnings) {
            lines << fromStd(warning);
        }
        m_sink->information(this, kOpenTitle, lines.join(QLatin1Char('\n')));
    }
    return true;
}

} // namespace karumenio::app

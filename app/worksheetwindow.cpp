#include "worksheetwindow.h"

#include "messagesink.h"
#include "worksheetmodel.h"
#include "worksheetview.h"

#include "guide/formlook.h"
#include "points/worksheet.h"

#include <QAction>
#include <QMenuBar>
#include <QUndoStack>

namespace karumenio::app {

WorksheetWindow::WorksheetWindow(WorksheetModel* model, MessageSink* sink, QWidget* parent)
    : QMainWindow(parent), m_view(new WorksheetView(model, this)) {
    setObjectName(QStringLiteral("WorksheetWindow"));
    setWindowTitle(QStringLiteral("Microsoft Excel ワークシート - %1")
                       .arg(QString::fromStdString(model->worksheet().name())));
    setWindowIcon(guide::programIcon());
    setCentralWidget(m_view);
    resize(720, 520);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    QAction* undo = model->undoStack()->createUndoAction(this, QStringLiteral("元に戻す"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = model->undoStack()->createRedoAction(this, QStringLiteral("やり直し"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    // Copy, paste and delete keys are the view's own; the menu offers the same actions.
    edit->addAction(QStringLiteral("コピー"), QKeySequence::Copy, m_view,
                    &WorksheetView::copySelection)
        ->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(QStringLiteral("貼り付け"), QKeySequence::Paste, m_view,
                    &WorksheetView::pasteClipboard)
        ->setShortcutContext(Qt::WidgetShortcut);
    edit->addAction(QStringLiteral("数式と値のクリア"), QKeySequence::Delete, m_view,
                    &WorksheetView::clearSelectedCells)
        ->setShortcutContext(Qt::WidgetShortcut);

    connect(model, &WorksheetModel::editFailed, this,
            [this, sink](const QString& text) { sink->warning(this, windowTitle(), text); });
    m_view->setFocus();
}

void WorksheetWindow::commitPendingEdit() {
    m_view->commitPendingEdit();
}

} // namespace karumenio::app

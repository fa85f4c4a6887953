#include "recordingsink.h"
#include "testmain.h"

#include "app/mainwindow.h"
#include "app/olecontainer.h"
#include "app/worksheetmodel.h"
#include "app/worksheetview.h"
#include "app/worksheetwindow.h"
#include "guide/formlook.h"
#include "spreadsheet/formulaparser.h"
#include "spreadsheet/worksheet.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QUrl>
#include <QtTest>

using karumenio::app::MainWindow;
using karumenio::app::WorksheetModel;
using karumenio::app::WorksheetView;
using karumenio::app::WorksheetWindow;
using karumenio::spreadsheet::CellValue;

namespace {

// 0-based model columns of the sheet's letters.
constexpr int A = 0;
constexpr int B = 1;
constexpr int C = 2;
constexpr int D = 3;
constexpr int E = 4;
constexpr int G = 6;

QString shown(const WorksheetModel* model, int row, int column) {
    return model->index(row - 1, column).data(Qt::DisplayRole).toString();
}

// Confirms the cell editor with Enter; the editor hands its text over once the key is handled.
void pressEnter() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Types as a user does: the first key opens the cell editor, the rest go to the editor.
void typeIntoCell(WorksheetView* view, const QString& text) {
    view->setFocus();
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : view;
        QTest::keyClick(target, c.toLatin1());
    }
}

} // namespace

class TestWorksheetWindow : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void opensByDoubleClickOrEnter_data();
    void opensByDoubleClickOrEnter();
    void showsTheTemplate();
    void typingEntersThroughTheCore_data();
    void typingEntersThroughTheCore();
    void deleteClearsAndUndoRestores();
    void deleteRestoresTheTitleAndHeadings();
    void spreadsheetKeysMoveAndSelect_data();
    void spreadsheetKeysMoveAndSelect();
    void pasteFromClipboard();
    void copyGivesTabSeparatedText();
    void undoAndRedoEveryEdit();
    void editsOutliveTheWindow();
    void readTakesEditInProgress();
    void badPasteReportsAndKeepsData();
    void opensPointsFiles_data();
    void opensPointsFiles();
    void aTableOfMarksFillsInTheJobWithoutAsking();
    void clearingAJobKeepsTheTemplate_data();
    void clearingAJobKeepsTheTemplate();
    void aNewJobPastedAtA6ReplacesTheOldOne_data();
    void aNewJobPastedAtA6ReplacesTheOldOne();
    void statusLineNamesTheCurrentCell();
    void aFileDroppedOnTheMainWindowGoesToA6();
    void aHugeFileIsRefusedUnread();

  private:
    WorksheetView* openView();

    RecordingSink m_sink;
    QPointer<MainWindow> m_form;
};

void TestWorksheetWindow::init() {
    m_sink.messages.clear();
    m_sink.questions.clear();
    m_sink.answer = 0;
    m_form = new MainWindow(&m_sink);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestWorksheetWindow::cleanup() {
    delete m_form;
}

WorksheetView* TestWorksheetWindow::openView() {
    WorksheetWindow* window = m_form->openWorksheet();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("worksheet window not active");
    }
    window->view()->setFocus();
    return window->view();
}

void TestWorksheetWindow::opensByDoubleClickOrEnter_data() {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("double click on the icon") << false;
    QTest::newRow("Enter while the icon has the focus") << true;
}

void TestWorksheetWindow::opensByDoubleClickOrEnter() {
    QFETCH(bool, byKey);
    auto* ole = m_form->findChild<karumenio::app::OleContainer*>(QStringLiteral("worksheetIcon"));
    QVERIFY(ole);
    QVERIFY(!m_form->worksheetWindow());
    for (int time = 0; time < 2; ++time) {
        if (byKey) {
            ole->setFocus();
            QTest::keyClick(ole, Qt::Key_Return);
        } else {
            QTest::mouseDClick(ole, Qt::LeftButton);
        }
    }
    // Opening again brings the same window forward.
    QVERIFY(m_form->worksheetWindow());
    QVERIFY(m_form->worksheetWindow()->isVisible());
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        windows += qobject_cast<WorksheetWindow*>(widget) && widget->isVisible() ? 1 : 0;
    }
    QCOMPARE(windows, 1);
}

void TestWorksheetWindow::showsTheTemplate() {
    WorksheetView* view = openView();
    const WorksheetModel* model = view->worksheetModel();
    // Column letters and row numbers, so that "セル C18" can be found.
    QVERIFY(view->horizontalHeader()->isVisible());
    QVERIFY(view->verticalHeader()->isVisible());
    QCOMPARE(model->headerData(C, Qt::Horizontal).toString(), QStringLiteral("C"));
    QCOMPARE(model->headerData(17, Qt::Vertical).toString(), QStringLiteral("18"));
    QVERIFY(view->showGrid());
    // H and I hold the survey map's 境界標 and 種別.
    for (int column : {A, B, C, D, G, G + 1, G + 2}) {
        QVERIFY(!view->isColumnHidden(column));
    }
    for (int column : {E, E + 1, 9, 100, 255}) {
        QVERIFY2(view->isColumnHidden(column), qPrintable(QString::number(column)));
    }
    QCOMPARE(view->columnSpan(0, A), 7);
    QCOMPARE(view->rowSpan(0, A), 2);
    QCOMPARE(view->columnSpan(2, A), 7);
    QCOMPARE(view->rowHeight(4), 27);
    QCOMPARE(view->rowHeight(5), 18);
    QCOMPARE(view->rowHeight(3005), 18);

    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 14);
    for (const QModelIndex& index : selected) {
        QVERIFY(index.row() <= 1 && index.column() <= G);
    }

    QCOMPARE(shown(model, 1, A), QStringLiteral("座 標 値 の 貼 り 付 け は 3000 点 ま で"));
    QCOMPARE(shown(model, 6, G), QStringLiteral("0.0 "));
    QCOMPARE(shown(model, 7, G), QString());
    QCOMPARE(model->index(5, G).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QVERIFY(model->index(5, A).data(Qt::ToolTipRole).toString().contains(QStringLiteral("例：K")));
    QVERIFY(
        model->index(5, G).data(Qt::ToolTipRole).toString().contains(QStringLiteral("3000点分")));
    QVERIFY(model->index(6, A).data(Qt::ToolTipRole).isNull());
    QVERIFY(model->index(0, A).data(Qt::FontRole).value<QFont>().bold());
}

void TestWorksheetWindow::typingEntersThroughTheCore_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("number");
    QTest::newRow("number in C") << C << "12.5"
                                 << "12.5" << true;
    QTest::newRow("point name in B stays text") << B << "001"
                                                << "001" << false;
    QTest::newRow("radius in G keeps its format") << G << "2"
                                                  << "2.0 " << true;
}

void TestWorksheetWindow::typingEntersThroughTheCore() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, display);
    QFETCH(bool, number);
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, column + 1, 6, column + 1);
    typeIntoCell(view, typed);
    QVERIFY(view->isEditing());
    pressEnter();
    const CellValue& value = model->worksheet().value(6, column + 1);
    QCOMPARE(value.isNumber(), number);
    QCOMPARE(shown(model, 6, column), display);
    // Enter moves on to the cell below, as in a spreadsheet.
    QCOMPARE(view->currentIndex(), model->index(6, column));
}

void TestWorksheetWindow::deleteClearsAndUndoRestores() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tK1\t10\t20\r\n\tK2\t30\t40\r\n"));
    QCOMPARE(shown(model, 7, D), QStringLiteral("40"));
    QCOMPARE(shown(model, 7, G), QStringLiteral("0.0 "));

    view->selectCells(6, 3, 7, 4);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(shown(model, 6, C), QString());
    QCOMPARE(shown(model, 7, D), QString());
    // The radius formula follows column C.
    QCOMPARE(shown(model, 7, G), QString());
    QCOMPARE(shown(model, 6, B), QStringLiteral("K1"));

    model->undoStack()->undo();
    QCOMPARE(shown(model, 6, C), QStringLiteral("10"));
    QCOMPARE(shown(model, 7, D), QStringLiteral("40"));
    QCOMPARE(shown(model, 7, G), QStringLiteral("0.0 "));
}

void TestWorksheetWindow::deleteRestoresTheTitleAndHeadings() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    const QString title = shown(model, 1, A);
    QVERIFY(model->enterText(model->index(0, A), QStringLiteral("my title")));
    QVERIFY(model->enterText(model->index(4, C), QStringLiteral("X")));
    view->selectCells(1, 1, 5, 7);
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(shown(model, 1, A), title);
    QCOMPARE(shown(model, 5, C), QString());
    model->undoStack()->undo();
    QCOMPARE(shown(model, 1, A), QStringLiteral("my title"));
}

void TestWorksheetWindow::spreadsheetKeysMoveAndSelect_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("selected");
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+End from A6 goes to the last row")
        << "A6" << int(Qt::Key_End) << ctrl << "G3006"
        << "G3006";
    QTest::newRow("Ctrl+Home goes to A1") << "C900" << int(Qt::Key_Home) << ctrl << "A1"
                                          << "A1:G2";
    QTest::newRow("Ctrl+Down runs down the points") << "C6" << int(Qt::Key_Down) << ctrl << "C3006"
                                                    << "C3006";
    QTest::newRow("Ctrl+Down from a mark goes to the next mark")
        << "A6" << int(Qt::Key_Down) << ctrl << "A11"
        << "A11";
    QTest::newRow("Ctrl+Right passes the hidden columns")
        << "A6" << int(Qt::Key_Right) << ctrl << "G6"
        << "G6";
    QTest::newRow("Ctrl+Shift+Down selects the column's points")
        << "B6" << int(Qt::Key_Down) << ctrlShift << "B3006"
        << "B6:B3006";
    QTest::newRow("Ctrl+Shift+End selects the whole job")
        << "A6" << int(Qt::Key_End) << ctrlShift << "G3006"
        << "A6:G3006";
}

void TestWorksheetWindow::spreadsheetKeysMoveAndSelect() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, current);
    QFETCH(QString, selected);
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    // 3001 points, a mark every five rows.
    QString rows;
    for (int i = 0; i < 3001; ++i) {
        rows += QStringLiteral("%1\tP%2\t%2\t%3\r\n").arg(i % 5 == 0 ? "K" : "").arg(i).arg(-i);
    }
    view->selectCells(6, 1, 6, 1);
    view->pasteText(rows);
    const auto at = [](const QString& name) {
        const auto cell = karumenio::spreadsheet::parseCellName(name.toStdString());
        return cell ? std::pair(cell->first, cell->second) : std::pair(0, 0);
    };
    const auto [row, column] = at(from);
    view->selectCells(row, column, row, column);
    QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    const auto name = [](const QModelIndex& index) {
        return QString::fromStdString(
            karumenio::spreadsheet::cellName(index.row() + 1, index.column() + 1));
    };
    QCOMPARE(name(view->currentIndex()), current);
    int top = INT_MAX;
    int left = INT_MAX;
    int bottom = 0;
    int right = 0;
    for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
    }
    const QString first = name(model->index(top, left));
    const QString last = name(model->index(bottom, right));
    QCOMPARE(first == last ? first : first + QLatin1Char(':') + last, selected);
    // Where the keys lead is on the screen.
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
}

void TestWorksheetWindow::pasteFromClipboard() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    QString rows;
    for (int i = 0; i < 3001; ++i) {
        rows += QStringLiteral("\tP%1\t%2\t%3\r\n").arg(i).arg(i * 2).arg(-i);
    }
    QApplication::clipboard()->setText(rows);
    view->selectCells(6, 1, 6, 1);
    QSignalSpy changes(model, &WorksheetModel::dataChanged);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(shown(model, 3006, B), QStringLiteral("P3000"));
    QCOMPARE(shown(model, 3006, C), QStringLiteral("6000"));
    QCOMPARE(shown(model, 3006, G), QStringLiteral("0.0 "));
    // The extents in the hidden columns follow.
    QCOMPARE(shown(model, 6, E), QStringLiteral("6000"));
    // The pasted block ends up selected.
    QVERIFY(view->selectionModel()->isSelected(model->index(3005, D)));
    QCOMPARE(model->undoStack()->count(), 1);
}

void TestWorksheetWindow::copyGivesTabSeparatedText() {
    WorksheetView* view = openView();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tK1\t1.5\t-2\r\n"));
    view->selectCells(6, 1, 6, 4);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("K\tK1\t1.5\t-2\r\n"));
}

void TestWorksheetWindow::undoAndRedoEveryEdit() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    QUndoStack* stack = model->undoStack();
    view->selectCells(6, 3, 6, 3);
    typeIntoCell(view, QStringLiteral("7"));
    pressEnter();
    view->selectCells(6, 7, 6, 7);
    typeIntoCell(view, QStringLiteral("0.5"));
    pressEnter();
    view->selectCells(7, 1, 7, 1);
    view->pasteText(QStringLiteral("\tK2\t8\t9\r\n"));
    QCOMPARE(shown(model, 7, G), QStringLiteral("0.5 "));
    QCOMPARE(stack->count(), 3);

    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown(model, 7, C), QString());
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown(model, 6, G), QStringLiteral("0.0 "));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shown(model, 6, C), QString());
    QCOMPARE(shown(model, 6, E), QStringLiteral("0"));

    stack->redo();
    stack->redo();
    stack->redo();
    QCOMPARE(shown(model, 6, C), QStringLiteral("7"));
    QCOMPARE(shown(model, 7, G), QStringLiteral("0.5 "));
    QCOMPARE(shown(model, 6, E), QStringLiteral("8"));
}

void TestWorksheetWindow::editsOutliveTheWindow() {
    WorksheetView* view = openView();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tK1\t3\t4\r\n"));
    m_form->worksheetWindow()->close();
    QVERIFY(!m_form->worksheetWindow()->isVisible());
    WorksheetView* again = openView();
    QCOMPARE(shown(again->worksheetModel(), 6, C), QStringLiteral("3"));
}

void TestWorksheetWindow::readTakesEditInProgress() {
    WorksheetView* view = openView();
    view->selectCells(6, 3, 6, 3);
    typeIntoCell(view, QStringLiteral("5"));
    QVERIFY(view->isEditing());
    m_form->findChild<QPushButton*>(QStringLiteral("readButton"))->click();
    QCOMPARE(m_sink.messages.size(), 1);
    QCOMPARE(m_sink.messages.first().text, QStringLiteral("座標読込完了　1　データ"));
    QVERIFY(!view->isEditing());
    QCOMPARE(shown(view->worksheetModel(), 6, C), QStringLiteral("5"));
}

void TestWorksheetWindow::badPasteReportsAndKeepsData() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tK1\t3\t4\r\n"));
    m_sink.messages.clear();
    // Two rows pasted into the last row run past the sheet.
    view->selectCells(karumenio::spreadsheet::Worksheet::kRowCount, 1,
                      karumenio::spreadsheet::Worksheet::kRowCount, 1);
    view->pasteText(QStringLiteral("1\t2\r\n3\t4\r\n"));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.first().warning);
    QVERIFY(!m_sink.messages.first().text.isEmpty());
    QCOMPARE(shown(model, 6, C), QStringLiteral("3"));
    QCOMPARE(model->undoStack()->count(), 1);
}

void TestWorksheetWindow::opensPointsFiles_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("markA6");
    QTest::addColumn<QString>("says");
    QTest::newRow("SIMA parcel closed on its first vertex")
        << "lot.sim"
        << QByteArray("A00,\r\nA01,1,001,10,20,,\r\nA01,2,002,30,40,,\r\nD00,1,669,1,\r\n"
                      "B01,1,,\r\nB01,2,,\r\nB01,3,,\r\nD99,\r\n")
        << "669" << QStringLiteral("7 行目");
    QTest::newRow("CSV with a header")
        << "pts.csv" << QByteArray("区画,測点名,X,Y\nK,001,10,20\n") << "K" << QString();
    QTest::newRow("decimal comma refused") << "bad.csv" << QByteArray("P,\"10,5\",\"20,5\"\n")
                                           << QString() << QStringLiteral("1 行目");
    QTest::newRow("missing file") << QString() << QByteArray() << QString()
                                  << QStringLiteral("開けません");
    QByteArray tooMany;
    for (int i = 0; i < 3002; ++i) {
        tooMany += "P" + QByteArray::number(i) + "," + QByteArray::number(i) + ",1\n";
    }
    QTest::newRow("more rows than the sheet holds")
        << "many.csv" << tooMany << QString() << QStringLiteral("実行時エラー 9");
}

void TestWorksheetWindow::opensPointsFiles() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, markA6);
    QFETCH(QString, says);
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("OLD\tX\t1\t2\n\tY\t3\t4\n\tZ\t5\t6\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName.isEmpty() ? QStringLiteral("none.sim") : fileName);
    if (!fileName.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const bool opened = m_form->worksheetWindow()->openPointsFile(path);
    QCOMPARE(opened, !markA6.isEmpty());
    // The file is checked before the question: one that cannot be read asks nothing.
    QCOMPARE(m_sink.questions.size(), opened ? 1 : 0);
    if (!says.isEmpty()) {
        QCOMPARE(m_sink.messages.size(), 1);
        QCOMPARE(m_sink.messages.front().warning, !opened);
        QVERIFY2(m_sink.messages.front().text.contains(says),
                 qPrintable(m_sink.messages.front().text));
    }
    if (!opened) {
        QCOMPARE(shown(model, 6, A), QStringLiteral("OLD"));
        QCOMPARE(shown(model, 8, B), QStringLiteral("Z"));
        return;
    }
    QCOMPARE(shown(model, 6, A), markA6);
    QCOMPARE(shown(model, 6, B), QStringLiteral("001"));
    QCOMPARE(shown(model, 6, C), QStringLiteral("10"));
    QVERIFY(model->worksheet().content(7, G + 1).isFormula());
    QCOMPARE(shown(model, 8, B), markA6 == QLatin1String("K") ? QString() : QStringLiteral("001"));
    model->undoStack()->undo();
    QCOMPARE(shown(model, 6, A), QStringLiteral("OLD"));
    QCOMPARE(shown(model, 8, B), QStringLiteral("Z"));
}

void TestWorksheetWindow::aTableOfMarksFillsInTheJobWithoutAsking() {
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tP1\t1\t2\n\tS1\t3\t4\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("marks.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("点名,境界標,種別\nP1,石杭,\nS1,金属鋲,引照点\n").toUtf8());
    file.close();
    QVERIFY(m_form->worksheetWindow()->openPointsFile(path));
    QCOMPARE(m_sink.questions.size(), 0);
    QCOMPARE(shown(model, 6, A), QStringLiteral("K"));
    QCOMPARE(shown(model, 6, G + 1), QStringLiteral("石杭"));
    QCOMPARE(shown(model, 7, G + 2), QStringLiteral("引照点"));
    model->undoStack()->undo();
    QCOMPARE(shown(model, 7, G + 1), QString());
    QCOMPARE(shown(model, 7, B), QStringLiteral("S1"));
}

void TestWorksheetWindow::clearingAJobKeepsTheTemplate_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Delete over A6:G17") << "rows";
    QTest::newRow("Delete over the whole sheet") << "all";
    QTest::newRow("cut over A6:G17") << "cut";
    QTest::newRow("新しい座標表") << "new";
}

void TestWorksheetWindow::clearingAJobKeepsTheTemplate() {
    QFETCH(QString, how);
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    const karumenio::spreadsheet::Worksheet& sheet = model->worksheet();
    const std::string title = sheet.content(1, 1).constant().textForm();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("K\tK1\t10\t20\t2\r\n\tK2\t30\t40\t5\r\n"));

    if (how == QLatin1String("rows") || how == QLatin1String("cut")) {
        view->selectCells(6, 1, 17, 7);
        QTest::keyClick(view, Qt::Key_Delete,
                        how == QLatin1String("cut") ? Qt::ControlModifier : Qt::NoModifier);
        if (how == QLatin1String("cut")) {
            view->selectCells(6, 1, 17, 7);
            QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
        }
    } else if (how == QLatin1String("all")) {
        view->selectAll();
        QTest::keyClick(view, Qt::Key_Delete);
    } else {
        view->selectCells(900, 4, 900, 4);
        view->scrollTo(model->index(899, 3));
        m_form->worksheetWindow()->newSheet();
        QCOMPARE(m_sink.questions.size(), 1);
        // The view goes back to A6, where a new job is pasted.
        QCOMPARE(view->currentIndex(), model->index(5, 0));
        const int top = view->rowViewportPosition(5);
        QVERIFY(top >= 0 && top < view->viewport()->height());
    }
    // The extent formulas, the radius chain, the default radius and the title stay.
    QCOMPARE(QString::fromStdString(sheet.formula(6, 5)), QStringLiteral("=MAX(C6:C3006)"));
    QCOMPARE(QString::fromStdString(sheet.formula(7, 6)), QStringLiteral("=MIN(D6:D3006)"));
    QVERIFY(sheet.content(7, 7).isFormula());
    QVERIFY(sheet.content(8, 7).isFormula());
    QCOMPARE(sheet.content(1, 1).constant().textForm(), title);
    QCOMPARE(shown(model, 6, C), QString());

    // One undo brings the job back whole.
    model->undoStack()->undo();
    QCOMPARE(shown(model, 7, D), QStringLiteral("40"));
    QCOMPARE(shown(model, 7, G), QStringLiteral("5.0 "));
}

void TestWorksheetWindow::aNewJobPastedAtA6ReplacesTheOldOne_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("row8Radius");
    QTest::addColumn<QString>("row8Name");
    QTest::newRow("replace (the default)") << 0 << ""
                                           << "";
    QTest::newRow("paste over") << 1 << "7.0 "
                                << "C";
    QTest::newRow("cancel") << 2 << "7.0 "
                            << "C";
}

void TestWorksheetWindow::aNewJobPastedAtA6ReplacesTheOldOne() {
    QFETCH(int, answer);
    QFETCH(QString, row8Radius);
    QFETCH(QString, row8Name);
    WorksheetView* view = openView();
    WorksheetModel* model = view->worksheetModel();
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("\tA\t1\t1\t1\r\n\tB\t2\t2\t3\r\n\tC\t3\t3\t7\r\n"));
    view->selectCells(3010, 2, 3010, 2);
    view->pasteText(QStringLiteral("beyond the template"));
    QCOMPARE(m_sink.questions.size(), 0);

    // A narrower job of two rows, four columns: the old radius of row 8 must not leak in.
    m_sink.answer = answer;
    view->selectCells(6, 1, 6, 1);
    view->pasteText(QStringLiteral("\tP\t10\t10\r\n\tQ\t20\t20\r\n"));
    QCOMPARE(m_sink.questions.size(), 1);
    QCOMPARE(shown(model, 8, B), row8Name);
    QCOMPARE(shown(model, 8, G), row8Name.isEmpty() ? QString() : row8Radius);
    QCOMPARE(shown(model, 3010, B).isEmpty(), answer == 0);
    if (answer == 0) {
        // The radius chain starts again from the template's default.
        QCOMPARE(shown(model, 7, G), QStringLiteral("0.0 "));
        model->undoStack()->undo();
        QCOMPARE(shown(model, 8, B), QStringLiteral("C"));
    }
}

void TestWorksheetWindow::statusLineNamesTheCurrentCell() {
    WorksheetView* view = openView();
    view->selectCells(3007, 4, 3007, 4);
    auto* where = m_form->worksheetWindow()->findChild<QLabel*>(QStringLiteral("currentCell"));
    QVERIFY(where);
    QCOMPARE(where->text(), QStringLiteral("D3007"));
}

void TestWorksheetWindow::aFileDroppedOnTheMainWindowGoesToA6() {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("points.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("K,K1,10,20\r\n,K2,30,40\r\n");
    file.close();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file.fileName())});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form, &drop);
    WorksheetModel* model = m_form->worksheetWindow()->view()->worksheetModel();
    QCOMPARE(shown(model, 7, D), QStringLiteral("40"));
}

void TestWorksheetWindow::aHugeFileIsRefusedUnread() {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("huge.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("K,K1,10,20\r\n");
    // Sparse: the size is what is refused, not the bytes.
    QVERIFY(file.resize((qint64{64} << 20) + 1));
    file.close();
    WorksheetView* view = openView();
    QVERIFY(!m_form->worksheetWindow()->openPointsFile(file.fileName()));
    QCOMPARE(m_sink.messages.size(), 1);
    QVERIFY(m_sink.messages.at(0).text.contains(QStringLiteral("64 MB")));
    QCOMPARE(shown(view->worksheetModel(), 6, C), QString());
}

KARUMENIO_QTEST_MAIN(TestWorksheetWindow)

#include "test_worksheetwindow.moc"

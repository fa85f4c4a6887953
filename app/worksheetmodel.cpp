#include "worksheetmodel.h"

#include "editcommand.h"
#include "errortext.h"

#include "points/inputtemplate.h"
#include "points/pointtable.h"
#include "points/templaterestore.h"
#include "spreadsheet/cellformat.h"
#include "spreadsheet/paste.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

#include <QColor>
#include <QFont>
#include <QUndoStack>

namespace karumenio::app {

namespace {

// The cell a failure names, so that the window can show it; empty when it names none.
QString failedCell(const std::exception& error) {
    const auto* runTime = dynamic_cast<const spreadsheet::RunTimeError*>(&error);
    return runTime != nullptr ? QString::fromStdString(runTime->cell()) : QString();
}

} // namespace

namespace {

QString fromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment alignmentOf(const spreadsheet::CellStyle& style,
                          const spreadsheet::CellValue& value) {
    Qt::Alignment horizontal;
    switch (style.horizontal) {
    case spreadsheet::HorizontalAlignment::Left:
        horizontal = Qt::AlignLeft;
        break;
    case spreadsheet::HorizontalAlignment::Centre:
        horizontal = Qt::AlignHCenter;
        break;
    case spreadsheet::HorizontalAlignment::Right:
        horizontal = Qt::AlignRight;
        break;
    case spreadsheet::HorizontalAlignment::General:
        // Numbers to the right, booleans and errors centred, text to the left.
        if (value.isNumber()) {
            horizontal = Qt::AlignRight;
        } else if (value.isBoolean() || value.isError()) {
            horizontal = Qt::AlignHCenter;
        } else {
            horizontal = Qt::AlignLeft;
        }
        break;
    }
    Qt::Alignment vertical;
    switch (style.vertical) {
    case spreadsheet::VerticalAlignment::Top:
        vertical = Qt::AlignTop;
        break;
    case spreadsheet::VerticalAlignment::Centre:
        vertical = Qt::AlignVCenter;
        break;
    case spreadsheet::VerticalAlignment::Bottom:
        vertical = Qt::AlignBottom;
        break;
    }
    return horizontal | vertical;
}

QString commentHtml(const spreadsheet::CellComment& comment) {
    QString text = fromStd(comment.text).toHtmlEscaped();
    while (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<p style=\"white-space:pre; font-size:%1pt; font-weight:%2\">%3</p>")
        .arg(comment.pointSize)
        .arg(comment.bold ? QStringLiteral("bold") : QStringLiteral("normal"), text);
}

} // namespace

WorksheetModel::WorksheetModel(spreadsheet::Worksheet& sheet, QObject* parent)
    : QAbstractTableModel(parent), m_sheet(sheet), m_undoStack(new QUndoStack(this)) {}

int WorksheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : spreadsheet::Worksheet::kRowCount;
}

int WorksheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : spreadsheet::Worksheet::kColumnCount;
}

QVariant WorksheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return QString::fromStdString(spreadsheet::columnName(section + 1));
}

QVariant WorksheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return fromStd(spreadsheet::displayText(m_sheet, row, column));
    case Qt::EditRole:
        return fromStd(m_sheet.inputText(row, column));
    case Qt::FontRole: {
        const spreadsheet::CellStyle style = m_sheet.layout().style(row, column);
        QFont font(fromStd(style.fontFamily));
        font.setPointSizeF(style.pointSize);
        font.setBold(style.bold);
        return font;
    }
    case Qt::ForegroundRole: {
        const spreadsheet::Rgb colour = m_sheet.layout().style(row, column).colour;
        return QColor(colour.red, colour.green, colour.blue);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            alignmentOf(m_sheet.layout().style(row, column), m_sheet.value(row, column)));
    case Qt::ToolTipRole:
        if (const spreadsheet::CellComment* comment = m_sheet.layout().comment(row, column)) {
            return commentHtml(*comment);
        }
        return {};
    default:
        return {};
    }
}

bool WorksheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    return enterText(index, value.toString());
}

Qt::ItemFlags WorksheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool WorksheetModel::enterText(const QModelIndex& index, const QString& text) {
    try {
        push(m_sheet.enter(index.row() + 1, index.column() + 1, text.toStdString()),
             QStringLiteral("入力"));
    } catch (const std::exception& error) {
        emit editFailed(errorText(error), failedCell(error));
        return false;
    }
    return true;
}

WorksheetModel::~WorksheetModel() = default;

const spreadsheet::Worksheet& WorksheetModel::original() {
    if (!m_original) {
        m_original = std::make_unique<spreadsheet::Workbook>(points::makeInputTemplate());
    }
    return m_original->sheet(0);
}

bool WorksheetModel::clear(int top, int left, int bottom, int right) {
    try {
        push(points::restoreTemplateCells(m_sheet, original(), top + 1, left + 1, bottom + 1,
                                          right + 1),
             QStringLiteral("削除"));
    } catch (const std::exception& error) {
        emit editFailed(errorText(error), failedCell(error));
        return false;
    }
    return true;
}

void WorksheetModel::restoreTemplate() {
    push(points::restoreWholeTemplate(m_sheet, original()), QStringLiteral("新しい座標表"));
}

bool WorksheetModel::holdsAJob() const {
    return points::holdsAJob(m_sheet);
}

void WorksheetModel::clearJob() {
    push(points::restoreJobRows(m_sheet, original()), QStringLiteral("削除"));
}

bool WorksheetModel::pasteFits(const QModelIndex& index, const QByteArray& clipboardText) {
    try {
        spreadsheet::checkPasteFits(
            index.row() + 1, index.column() + 1,
            std::string_view(clipboardText.constData(),
                             static_cast<std::size_t>(clipboardText.size())));
    } catch (const std::exception& error) {
        emit editFailed(errorText(error), failedCell(error));
        return false;
    }
    return true;
}

spreadsheet::EditRecord WorksheetModel::paste(const QModelIndex& index,
                                              const QByteArray& clipboardText) {
    spreadsheet::EditRecord record;
    try {
        record =
            spreadsheet::paste(m_sheet, index.row() + 1, index.column() + 1,
                               std::string_view(clipboardText.constData(),
                                                static_cast<std::size_t>(clipboardText.size())));
    } catch (const std::exception& error) {
        emit editFailed(errorText(error), failedCell(error));
        return {};
    }
    push(record, QStringLiteral("貼り付け"));
    return record;
}

QString WorksheetModel::copyText(int top, int left, int bottom, int right) {
    try {
        return fromStd(spreadsheet::copyText(m_sheet, top + 1, left + 1, bottom + 1, right + 1));
    } catch (const std::exception& error) {
        emit editFailed(errorText(error), failedCell(error));
        return {};
    }
}

void WorksheetModel::recordEdit(spreadsheet::EditRecord record, const QString& text) {
    push(std::move(record), text);
}

void WorksheetModel::undoRecord(const spreadsheet::EditRecord& record) {
    m_sheet.undo(record);
    sheetChanged();
}

void WorksheetModel::redoRecord(const spreadsheet::EditRecord& record) {
    m_sheet.redo(record);
    sheetChanged();
}

void WorksheetModel::push(spreadsheet::EditRecord record, const QString& text) {
    if (!record.empty()) {
        m_undoStack->push(new EditCommand(this, std::move(record), text));
    }
    sheetChanged();
}

void WorksheetModel::sheetChanged() {
    // Formulas may have changed anywhere; one notification repaints what is on screen.
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

} // namespace karumenio::app

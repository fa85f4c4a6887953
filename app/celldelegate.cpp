#include "celldelegate.h"

#include "spreadsheet/worksheet.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace karumenio::app {

namespace {

QColor toColour(const spreadsheet::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

const spreadsheet::HeadingShape* headingAt(const spreadsheet::Worksheet& sheet, int row,
                                           int column) {
    for (const spreadsheet::HeadingShape& shape : sheet.layout().headingShapes) {
        if (shape.row == row && shape.column == column) {
            return &shape;
        }
    }
    return nullptr;
}

void paintHeading(QPainter* painter, const QRect& cell, const spreadsheet::HeadingShape& shape) {
    const QRectF box = QRectF(cell).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, toColour(shape.fillEdge));
    fill.setColorAt(0.5, toColour(shape.fillMiddle));
    fill.setColorAt(1.0, toColour(shape.fillEdge));
    painter->setPen(QPen(toColour(shape.outline), 1.0));
    painter->setBrush(fill);
    painter->drawRect(box);

    QFont font(QString::fromStdString(shape.fontFamily));
    font.setPointSizeF(shape.pointSize);
    painter->setFont(font);
    painter->setPen(Qt::black);
    painter->drawText(cell, Qt::AlignCenter, QString::fromStdString(shape.text));
}

void paintCommentMarker(QPainter* painter, const QRect& cell) {
    constexpr int kSize = 5;
    QPainterPath marker;
    marker.moveTo(cell.right() - kSize, cell.top());
    marker.lineTo(cell.right(), cell.top());
    marker.lineTo(cell.right(), cell.top() + kSize);
    marker.closeSubpath();
    painter->fillPath(marker, QColor(255, 0, 0));
}

} // namespace

CellDelegate::CellDelegate(const spreadsheet::Worksheet& sheet, QObject* parent)
    : QStyledItemDelegate(parent), m_sheet(sheet) {}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    // Selected cells keep their own colours under a light tint, as spreadsheets show them.
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, plain, index);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (const spreadsheet::HeadingShape* shape = headingAt(m_sheet, row, column)) {
        paintHeading(painter, option.rect, *shape);
    }
    if (m_sheet.layout().comment(row, column)) {
        paintCommentMarker(painter, option.rect);
    }
    if (option.state & QStyle::State_Selected) {
        // The view's own selection colour is switched off so cells keep their colours.
        QColor tint = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
        tint.setAlpha(56);
        painter->fillRect(option.rect, tint);
    }
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Text), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

} // namespace karumenio::app

#include "olecontainer.h"

#include "guide/formlook.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace karumenio::app {

namespace {

// A generic worksheet page: folded corner, shaded heading row and a grid.
void drawWorksheetIcon(QPainter& painter, const QRectF& box) {
    const qreal fold = box.width() * 0.28;
    QPainterPath page;
    page.moveTo(box.left(), box.top());
    page.lineTo(box.right() - fold, box.top());
    page.lineTo(box.right(), box.top() + fold);
    page.lineTo(box.right(), box.bottom());
    page.lineTo(box.left(), box.bottom());
    page.closeSubpath();
    painter.setPen(QPen(QColor(60, 60, 60), 1.0));
    painter.setBrush(Qt::white);
    painter.drawPath(page);

    const QRectF grid = box.adjusted(2.5, fold + 1.5, -2.5, -2.5);
    painter.fillRect(QRectF(grid.left(), grid.top(), grid.width(), grid.height() / 4.0),
                     QColor(94, 158, 255));
    painter.setPen(QPen(QColor(31, 110, 60), 0.8));
    for (int i = 0; i <= 4; ++i) {
        const qreal y = grid.top() + i * grid.height() / 4.0;
        painter.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
    }
    for (int i = 0; i <= 3; ++i) {
        const qreal x = grid.left() + i * grid.width() / 3.0;
        painter.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
    }
    painter.setPen(QPen(QColor(60, 60, 60), 1.0));
    painter.drawLine(QPointF(box.right() - fold, box.top()),
                     QPointF(box.right() - fold, box.top() + fold));
    painter.drawLine(QPointF(box.right() - fold, box.top() + fold),
                     QPointF(box.right(), box.top() + fold));
}

} // namespace

OleContainer::OleContainer(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Microsoft Excel ワークシート"));
    setToolTip(QStringLiteral("Microsoft Excel ワークシート"));
}

void OleContainer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // The icon and its caption fill the upper half; the hint label covers the lower half.
    const int band = height() / 2;
    const qreal iconSize = qMin(22, band - 4);
    const QRectF icon(3.5, (band - iconSize) / 2.0 + 0.5, iconSize * 0.8, iconSize);
    drawWorksheetIcon(painter, icon);

    QFont captionFont = guide::gothicFont(7);
    painter.setFont(captionFont);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRectF caption(icon.right() + 3, 0, width() - icon.right() - 4, band);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Microsoft Excel\nワークシート"));

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = QRect(1, 1, width() - 2, band - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void OleContainer::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit activated();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void OleContainer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit activated();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace karumenio::app

#include "planview.h"

#include "planscene.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace karumenio::app {

namespace {

// Pixels a press may move and still count as a click, and how near a point it must be.
constexpr int kClickSlop = 4;
constexpr int kPickPixels = 8;

} // namespace

PlanView::PlanView(PlanScene* scene, QWidget* parent)
    : QGraphicsView(scene, parent), m_scene(scene) {
    setRenderHint(QPainter::Antialiasing);
    setRenderHint(QPainter::TextAntialiasing);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
}

void PlanView::fitAll() {
    fitInView(m_scene->drawingRect(), Qt::KeepAspectRatio);
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const qreal factor = std::pow(1.25, event->angleDelta().y() / 120.0);
    scale(factor, factor);
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    m_pressedAt = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
    QGraphicsView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton ||
        (event->position().toPoint() - m_pressedAt).manhattanLength() > kClickSlop) {
        return;
    }
    const QPointF at = mapToScene(event->position().toPoint());
    const qreal tolerance =
        mapToScene(QRect(0, 0, kPickPixels, kPickPixels)).boundingRect().width();
    const int slot = m_scene->slotAt(at, tolerance);
    if (slot >= 0) {
        emit pointClicked(slot);
    }
}

} // namespace karumenio::app

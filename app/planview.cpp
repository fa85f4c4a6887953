#include "planview.h"

#include "planscene.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
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
    // The wheel keeps its own anchor; the drawing can be panned and zoomed about any point,
    // even at its edge, since the view reaches far beyond it.
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    connect(scene, &QGraphicsScene::sceneRectChanged, this, &PlanView::reachBeyond);
    reachBeyond(scene->sceneRect());
}

void PlanView::reachBeyond(const QRectF& drawing) {
    const qreal room = 4 * std::max(drawing.width(), drawing.height());
    setSceneRect(drawing.adjusted(-room, -room, room, room));
}

void PlanView::setGreyedOut(bool greyed) {
    if (m_greyed != greyed) {
        m_greyed = greyed;
        viewport()->update();
    }
}

void PlanView::drawForeground(QPainter* painter, const QRectF& rect) {
    if (m_greyed) {
        // A veil of grey over the drawing: still readable, plainly not current.
        painter->fillRect(rect, QColor(128, 128, 128, 150));
    }
}

void PlanView::fitAll() {
    fitInView(m_scene->drawingRect(), Qt::KeepAspectRatio);
    m_fitted = true;
}

void PlanView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    if (m_fitted) {
        fitAll();
    }
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const qreal factor = std::pow(1.25, event->angleDelta().y() / 120.0);
    // The scene point under the cursor stays under it.
    const QPointF cursor = event->position();
    const QPointF anchor = viewportTransform().inverted().map(cursor);
    scale(factor, factor);
    m_fitted = false;
    const QPointF moved = viewportTransform().map(anchor) - cursor;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + qRound(moved.x()));
    verticalScrollBar()->setValue(verticalScrollBar()->value() + qRound(moved.y()));
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    m_pressedAt = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
    QGraphicsView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if ((event->position().toPoint() - m_pressedAt).manhattanLength() > kClickSlop) {
        // Panned: the surveyor's view from now on.
        m_fitted = false;
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

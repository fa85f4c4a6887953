#pragma once

#include "plan/plan.h"

#include <QGraphicsScene>

namespace karumenio::app {

// The plan drawn as a scene in world units, north up (the scene's y is the world's −y). The
// preview shows it and every export renders it, so the screen and the files agree. Points
// carry markers for hovering and clicking; the exports leave them out, as the drawing program
// draws none.
class PlanScene : public QGraphicsScene {
    Q_OBJECT
  public:
    enum class Background { Dark, Light };

    explicit PlanScene(QObject* parent = nullptr);

    void setPlan(const plan::Plan& plan);
    const plan::Plan& plan() const { return m_plan; }

    void setBackground(Background background);
    Background background() const { return m_background; }

    // The sheet edge (the outer frame) in scene coordinates.
    QRectF sheetRect() const;
    // Everything drawn, with a small margin.
    QRectF drawingRect() const;

    // Renders the part of the scene in source (scene coordinates) onto target, on the
    // background's colour, without point markers.
    void renderDrawing(QPainter& painter, const QRectF& target, const QRectF& source);

    // The slot of the point marker at a scene position; -1 where there is none.
    int slotAt(const QPointF& scenePosition, qreal tolerance) const;

  private:
    void rebuild();
    QColor layerColour(plan::LayerId layer) const;

    plan::Plan m_plan;
    Background m_background = Background::Dark;
    QList<QGraphicsItem*> m_markers;
};

// World to scene: y turned round so that north is up on the screen.
inline QPointF toScene(plan::WorldPoint p) {
    return {p.x, -p.y};
}

} // namespace karumenio::app

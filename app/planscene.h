#pragma once

#include "layout/sheetlayout.h"
#include "plan/plan.h"

#include <QGraphicsScene>

#include <functional>
#include <optional>

namespace karumenio::app {

// The plan drawn as a scene in world units, north up (the scene's y is the world's −y), or
// the survey map's sheets in its place, side by side where the DXF has them. The preview
// shows it and every export renders it, so the screen and the files agree. Points carry
// markers for hovering and clicking; the exports leave them out, as the drawing program draws
// none.
class PlanScene : public QGraphicsScene {
    Q_OBJECT
  public:
    enum class Background { Dark, Light };

    explicit PlanScene(QObject* parent = nullptr);

    // How the worksheet shows a number in a cell (row, column), for the points' tooltips;
    // without it numbers show with three decimals.
    using CellText = std::function<QString(double value, int row, int column)>;
    void setCellText(CellText cellText);

    // The plan, or the survey map's sheets instead of it when a map is given.
    void setPlan(const plan::Plan& plan, const layout::SheetLayout* surveyMap = nullptr);
    const plan::Plan& plan() const { return m_plan; }
    const layout::SheetLayout* surveyMap() const { return m_surveyMap ? &*m_surveyMap : nullptr; }

    void setBackground(Background background);
    Background background() const { return m_background; }

    // The sheet edge (the outer frame) in scene coordinates.
    QRectF sheetRect() const;
    // Each sheet's edge: the survey map's sheets, or the plan's one.
    QList<QRectF> sheetRects() const;
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
    QColor colourNumber(int colour) const;
    void drawSurveyMap(const layout::SheetLayout& map);
    void addMarker(plan::WorldPoint at, int slot);

    QString cellText(double value, int row, int column) const;

    plan::Plan m_plan;
    std::optional<layout::SheetLayout> m_surveyMap;
    CellText m_cellText;
    Background m_background = Background::Dark;
    QList<QGraphicsItem*> m_markers;
};

// World to scene: y turned round so that north is up on the screen.
inline QPointF toScene(plan::WorldPoint p) {
    return {p.x, -p.y};
}

} // namespace karumenio::app

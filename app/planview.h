#pragma once

#include <QGraphicsView>

namespace karumenio::app {

class PlanScene;

// The view of the plan: the wheel zooms about the mouse, a drag pans, a click on a point
// reports its slot.
class PlanView : public QGraphicsView {
    Q_OBJECT
  public:
    explicit PlanView(PlanScene* scene, QWidget* parent = nullptr);

    // Shows the whole drawing.
    void fitAll();

  signals:
    void pointClicked(int slot);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    PlanScene* m_scene;
    QPoint m_pressedAt;
};

} // namespace karumenio::app

#pragma once

#include <QGraphicsView>

namespace karumenio::app {

class PlanScene;

// The view of the plan: the wheel zooms about the point under the mouse, a drag pans, a
// click on a point reports its slot.
class PlanView : public QGraphicsView {
    Q_OBJECT
  public:
    explicit PlanView(PlanScene* scene, QWidget* parent = nullptr);

    // Shows the whole drawing, and keeps it whole when the view changes size (a banner shown
    // above it, the window resized) until the surveyor zooms or pans.
    void fitAll();
    // Greys the drawing out, for a drawing that no longer matches the worksheet.
    void setGreyedOut(bool greyed);
    bool isGreyedOut() const { return m_greyed; }

  signals:
    void pointClicked(int slot);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

  private:
    // Lets the view pan and zoom well beyond the drawing.
    void reachBeyond(const QRectF& drawing);

    PlanScene* m_scene;
    QPoint m_pressedAt;
    bool m_greyed = false;
    bool m_fitted = false;
};

} // namespace karumenio::app

#pragma once

#include <QWidget>

namespace karumenio::app {

// Stands in for the embedded spreadsheet object: a worksheet icon with its caption. A double
// click, or Enter while it has the focus, asks for the worksheet window.
class OleContainer : public QWidget {
    Q_OBJECT
  public:
    explicit OleContainer(QWidget* parent = nullptr);

  signals:
    void activated();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace karumenio::app

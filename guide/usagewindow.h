#pragma once

#include <QWidget>

class QPushButton;

namespace karumenio::guide {

// The usage window: the operating steps from choosing the edition to dragging the scripts into
// the CAD program. It opens the example window and, through its close button, hands the focus
// back to the main window.
class UsageWindow : public QWidget {
    Q_OBJECT
  public:
    explicit UsageWindow(QWidget* parent = nullptr);

  signals:
    // Emitted by the window's own close button after the window has closed; the main window
    // answers by taking the focus back.
    void closedByButton();

  private:
    void showExample();
    void closeByButton();

    QPushButton* m_exampleButton;
    QPushButton* m_closeButton;
};

} // namespace karumenio::guide

#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace karumenio::guide {

// The example window: two lines of explanation over a picture of the filled-in worksheet,
// and beside it the plan drawn from it.
class ExampleWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ExampleWindow(QWidget* parent = nullptr);

    // Shows the one example window, creating it when none is open (on the anchor's screen),
    // and brings it forward.
    static ExampleWindow* showExample(const QWidget* anchor = nullptr);

    // The stored picture of the worked example.
    static QPixmap examplePicture();
    // The stored drawing of the worked example's plan, as the preview draws it.
    static QPixmap examplePlanPicture();

  private:
    QLabel* m_intro;
    QLabel* m_introNote;
    QLabel* m_pictureCaption;
    QLabel* m_picture;
    QLabel* m_planCaption;
    QLabel* m_planPicture;
    QPushButton* m_closeButton;
};

} // namespace karumenio::guide

#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace karumenio::guide {

// The example window: two lines of explanation over a picture of the filled-in worksheet.
class Form3 : public QWidget {
    Q_OBJECT
  public:
    explicit Form3(QWidget* parent = nullptr);

    // Shows the one example window, creating it when none is open, and brings it forward.
    static Form3* showExample();

    // The stored picture of the worked example.
    static QPixmap examplePicture();

  private:
    void Form_Load();
    void Command1_Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Image1;
    QPushButton* Command1;
};

} // namespace karumenio::guide

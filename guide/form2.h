#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace karumenio::guide {

// The usage window: the operating steps from choosing the edition to dragging the scripts into
// the CAD program. It opens the example window and, through its close button, hands the focus
// back to the main window.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    explicit Form2(QWidget* parent = nullptr);

  signals:
    // Emitted by the window's own close button after the window has closed; the main window
    // answers by taking the focus back.
    void closedByButton();

  private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    QLabel* addLabel(const char* name, int leftTwips, int topTwips);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4[2];
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLabel* Label20;
    QLabel* Label21;
    QLabel* Label22;
    QLabel* Label23;
    QPushButton* Command1;
    QPushButton* Command2;
};

} // namespace karumenio::guide

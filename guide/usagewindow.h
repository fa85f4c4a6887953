#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace karumenio::guide {

// The usage window: the operating steps from choosing the edition to dragging the scripts into
// the CAD program. It opens the example window and, through its close button, hands the focus
// back to the main window.
class UsageWindow : public QWidget {
    Q_OBJECT
  public:
    explicit UsageWindow(QWidget* parent = nullptr);

    // Names the folder the scripts now go to on the second page ("出力先…").
    void setOutputFolder(const QString& folder);
    // The second page: the preview and its exports, the survey map, the drawing's data and the
    // coordinate system, the output folder, opening files, the worksheet's keys, a new sheet
    // and the run-time error numbers.
    void showMorePage(bool more);
    bool showsMorePage() const;

  signals:
    // Emitted by the window's own close button after the window has closed; the main window
    // answers by taking the focus back.
    void closedByButton();

  private:
    void showExample();
    void closeByButton();

    QWidget* m_stepsPage;
    QTextBrowser* m_morePage;
    QPushButton* m_exampleButton;
    QPushButton* m_pageButton;
    QPushButton* m_closeButton;
    QString m_folder;
};

} // namespace karumenio::guide

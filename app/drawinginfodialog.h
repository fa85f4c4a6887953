#pragma once

#include "drawinginfo.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace karumenio::app {

// "図面情報": the survey map's land category, title block fields and neighbouring lots of the
// job. The date may stay empty for the day the map is made; any other text must be a date as
// YYYY-MM-DD, and so must the survey's date. The neighbours are one a line, "地番:点名-点名".
class DrawingInfoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DrawingInfoDialog(const DrawingInfo& info, QWidget* parent = nullptr);

    // The fields as entered; the coordinate system is left as it was given.
    DrawingInfo info() const;

    void accept() override;

  private:
    DrawingInfo m_info;
    QLineEdit* m_location;
    QLineEdit* m_lotNumber;
    QComboBox* m_landCategory;
    QLineEdit* m_surveyDate;
    QLineEdit* m_date;
    QLineEdit* m_applicant;
    QLineEdit* m_surveyor;
    QPlainTextEdit* m_neighbours;
    QLabel* m_problem;
};

} // namespace karumenio::app

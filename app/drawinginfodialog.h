#pragma once

#include "drawinginfo.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace karumenio::app {

// "図面情報": the survey map's land category, title block fields, neighbouring lots and
// subdivision of the job. The date may stay empty for the day the map is made; any other text
// must be a date as YYYY-MM-DD, and so must the survey's date. The neighbours are one a line,
// "地番:点名-点名". The subdivision's parent and remainder are offered from the job's parcels
// (parcelNames) and may be typed too, for a job not read yet.
class DrawingInfoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DrawingInfoDialog(const DrawingInfo& info,
                               const std::vector<std::string>& parcelNames = {},
                               QWidget* parent = nullptr);

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
    QComboBox* m_subdivisionOf;
    QComboBox* m_signs;
    QLineEdit* m_registeredArea;
    QComboBox* m_accuracyClass;
    QComboBox* m_remainder;
    QLabel* m_problem;
};

} // namespace karumenio::app

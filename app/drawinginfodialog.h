#pragma once

#include "parcel/surveymap.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace karumenio::app {

// "図面情報": the survey map's land category and title block fields of the job. The date may
// stay empty for the day the map is made; any other text must be a date as YYYY-MM-DD.
class DrawingInfoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DrawingInfoDialog(const parcel::SurveyMapSettings& fields, QWidget* parent = nullptr);

    // The fields as entered; the coordinate system is left as it was given.
    parcel::SurveyMapSettings fields() const;

    void accept() override;

  private:
    parcel::SurveyMapSettings m_fields;
    QLineEdit* m_location;
    QLineEdit* m_lotNumber;
    QComboBox* m_landCategory;
    QLineEdit* m_date;
    QLineEdit* m_surveyor;
    QLabel* m_problem;
};

} // namespace karumenio::app

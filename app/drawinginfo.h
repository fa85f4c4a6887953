#pragma once

#include "parcel/surveymap.h"

#include <QString>

namespace karumenio::app {

// The survey map's fields of one job (land category and title block), kept in the settings
// store under the job's points file, so that opening the file again brings them back. A job
// that was pasted, not opened, keeps them under one shared key; the surveyor's name carries
// over to every new job.
class DrawingInfoStore {
  public:
    // The key of a job from its points file's path; the pasted job's key for an empty one.
    static QString keyOf(const QString& pointsFile);

    // The fields kept for the job; for one never kept, blank ones with the last surveyor.
    static parcel::SurveyMapSettings load(const QString& key);
    static void save(const QString& key, const parcel::SurveyMapSettings& fields);
};

} // namespace karumenio::app

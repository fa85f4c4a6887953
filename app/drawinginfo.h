#pragma once

#include "job/drawingfields.h"
#include "parcel/neighbours.h"
#include "parcel/surveymap.h"

#include <QString>

#include <vector>

namespace karumenio::app {

// The survey map's fields of one job: the land category, the title block, the neighbouring
// lots along the parcels and the subdivision, as typed.
struct DrawingInfo {
    parcel::SurveyMapSettings map;
    std::vector<parcel::Neighbour> neighbours;
    job::SubdivisionFields subdivision;
};

// The survey map's fields of one job, kept in the settings store under the job's points file,
// so that opening the file again brings them back. A job that was pasted, not opened, keeps
// them under one shared key; the surveyor's name carries over to every new job.
class DrawingInfoStore {
  public:
    // The key of a job from its points file's path; the pasted job's key for an empty one.
    static QString keyOf(const QString& pointsFile);

    // The fields kept for the job; for one never kept, blank ones with the last surveyor.
    static DrawingInfo load(const QString& key);
    static void save(const QString& key, const DrawingInfo& info);
};

} // namespace karumenio::app

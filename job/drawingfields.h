#pragma once

#include "parcel/neighbours.h"
#include "parcel/titleblock.h"

#include <optional>
#include <string>
#include <vector>

namespace karumenio::job {

// A field of the survey map's information (図面情報) that cannot be taken as typed, and why.
struct FieldProblem {
    // The field to correct: "date", "surveyDate" or "neighbours".
    std::string field;
    // Japanese, for the surveyor.
    std::string message;
};

// What the dialogs of the front ends refuse: a 作成年月日 or 測量年月日 that is not a day of the
// calendar as YYYY-MM-DD (either may stay empty: the day the map is made, and a survey map
// still to be completed), and a neighbour line that is not "地番:点名-点名". Lines that are
// blank are passed over.
std::optional<FieldProblem> drawingFieldProblem(const parcel::TitleBlock& title,
                                                const std::vector<std::string>& neighbourLines);

// The neighbours of the lines that can be read, blank ones passed over.
std::vector<parcel::Neighbour> neighboursOf(const std::vector<std::string>& neighbourLines);

} // namespace karumenio::job

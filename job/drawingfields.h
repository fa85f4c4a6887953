#pragma once

#include "parcel/neighbours.h"
#include "parcel/subdivision.h"
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

// A subdivision (分筆) as the dialogs hold it, each field as typed: the parent parcel's name
// (empty: none), the signs' token, the registered area in m², the accuracy class's token
// (empty: none) and the remainder's name. What is kept between visits, so that the surveyor's
// text comes back as typed.
struct SubdivisionFields {
    std::string parent;
    std::string signs;
    std::string registeredArea;
    std::string accuracyClass;
    std::string remainder;
};

// Why a registered area cannot be taken as typed (Japanese, for the surveyor); the command
// line says it after its option's name.
std::string registeredAreaMessage(std::string_view typed);

// What the command line refuses of a subdivision, the dialogs refuse too: a registered area
// that is no square-metre number of at most 6 decimals, an accuracy class or signs the tables
// lack, and a registered area, class or remainder with no parent parcel. The fields are
// "registeredArea", "accuracyClass", "signs" and "remainder".
std::optional<FieldProblem> subdivisionFieldProblem(const SubdivisionFields& fields);

// The subdivision's settings of fields that passed the check; empty signs are the first style.
parcel::SubdivisionSettings subdivisionOf(const SubdivisionFields& fields);

} // namespace karumenio::job

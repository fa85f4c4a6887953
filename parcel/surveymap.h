#pragma once

#include "landcategory.h"
#include "neighbours.h"
#include "titleblock.h"

#include "layout/pieces.h"
#include "layout/sheetlayout.h"

#include <string>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

struct Parcel;
struct SubdivisionCheck;

// The land category and the title block's fields: what a job remembers for its survey map.
struct SurveyMapSettings {
    const LandCategory* landCategory = &kDefaultLandCategory;
    TitleBlock titleBlock;
};

// What the survey map of a plan's parcels is laid out from: per group of parcels that touch,
// their boundaries, each corner once with its boundary mark's symbol and its name (away from
// the parcels), each side once with its length (outside), each parcel's name inside it, each
// listed neighbouring lot outside its stretch; the reference points (引照点, 基準点) with
// their symbols beside the drawing nearest them; the area table 「座標求積表」 (the columns
// and totals of the area CSV), the legend of the marks used and the list of the reference
// points' coordinates; the title block's fields. A caller may add pieces before laying it out.
// With a subdivision (its parent found), the new lots show their captions instead of outlines
// of their own, the dividing lines are drawn in kDividingLineStyle, and each new lot gets its
// own area table, followed by the summary 「分筆の面積」.
layout::LayoutRequest surveyMapRequest(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                       const SurveyMapSettings& settings,
                                       const std::vector<Neighbour>& neighbours = {},
                                       const SubdivisionCheck* subdivision = nullptr);

// The survey map laid out on sheets of the plan's paper at its scale (see
// layout::composeLayout). A plan without a scale factor (no scale ever chosen) gets no sheet
// and a message.
layout::SheetLayout layOutSurveyMap(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                    const SurveyMapSettings& settings,
                                    const std::vector<Neighbour>& neighbours = {},
                                    const SubdivisionCheck* subdivision = nullptr);

// One warning per text of the map that code page 932 cannot hold whole, naming the
// characters written as "?".
void warnUnmappableTexts(const layout::SheetLayout& map, std::vector<std::string>& warnings);

} // namespace karumenio::parcel

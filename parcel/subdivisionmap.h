#pragma once

#include "parcel.h"

#include "layout/linestyle.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::parcel {

struct NewLot;
struct SubdivisionCheck;

// What a subdivision adds to the survey map, before it is laid out: the dividing lines, the
// text inside each new lot and the summary of the areas.

// The dividing lines stand apart from the boundaries the parent keeps.
inline constexpr layout::LineStyleId kDividingLineStyle = layout::LineStyleId::DashDotted;

// A side of a new lot that does not lie on the parent's outline.
struct DividingLine {
    Vertex from;
    Vertex to;
};

// The new lots' sides that the parent's outline does not cover, each once however many lots
// share it, in the order of the lots and their corners.
std::vector<DividingLine> dividingLines(const std::vector<Parcel>& parcels,
                                        const SubdivisionCheck& check);

// What stands inside a new lot: its sign and its number, "① 670-1", and 「（残地）」 for the
// remainder.
std::string lotCaption(const Parcel& parcel, const NewLot& lot);

struct SummaryRow {
    std::string_view label;
    std::string value;
};

// The rows the sheet shows below the new lots' tables: 分筆前 面積, 分筆後 合計 and 差 in square
// metres with 6 decimals and no unit, as the area tables write 面積; 差 as 「一致」 when the
// lots' double areas add up to the parent's exactly.
std::array<SummaryRow, 3> subdivisionSummary(const SubdivisionCheck& check);

} // namespace karumenio::parcel

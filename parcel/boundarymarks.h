#pragma once

#include "parcel.h"

#include "points/markkind.h"
#include "points/pointclass.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

// A corner of the job's parcels, once however many parcels and rows it is on, with the
// boundary mark found at it.
struct BoundaryPoint {
    // The first row of the point among the parcels' corners.
    Vertex vertex;
    // The mark as written on the first row at this place that gives one; empty when none does.
    std::string markText;
    // The kind of the list it names; nullptr when none is given or the kind is not of the list.
    const points::MarkKind* kind = nullptr;

    bool hasMark() const { return !markText.empty(); }
};

// An entry of the legend of marks (符号・種類): the symbol and the kind's text.
struct MarkLegendEntry {
    points::MarkSymbol symbol;
    std::string text;
    friend bool operator==(const MarkLegendEntry&, const MarkLegendEntry&) = default;
};

// A point that is no boundary point (引照点, 基準点), for the sheet's list of coordinates.
struct ReferencePoint {
    int slot = 0;
    std::string name;
    // Millimetres, as the area table rounds them.
    std::int64_t x = 0;
    std::int64_t y = 0;
    points::PointClassId pointClass = points::PointClassId::Reference;
};

struct BoundaryMarks {
    std::vector<BoundaryPoint> points;
    // The kinds the points use, each once: those of the list in the list's order, then the
    // others in the order met. Kinds without a symbol (なし) are left out.
    std::vector<MarkLegendEntry> legend;
    // Every point that is not a boundary point, in row order, each place and name once.
    std::vector<ReferencePoint> referencePoints;
    // Japanese: kinds and classes that are not of the lists, and one place given two kinds.
    std::vector<std::string> warnings;
};

// A place of the plan to the millimetre (x, y).
using Place = std::pair<std::int64_t, std::int64_t>;

// For each place of a boundary point that has a mark, the first row there that gives one. A
// place given two different kinds gets a warning in *warnings when asked for.
std::map<Place, int> markRows(const plan::Plan& plan, std::vector<std::string>* warnings = nullptr);

// The boundary points of the parcels with their marks, the legend and the reference points.
// A point shared by parcels, and a closing row, take the mark of whichever row at that place
// (to the millimetre) gives one.
BoundaryMarks findBoundaryMarks(const plan::Plan& plan, const std::vector<Parcel>& parcels);

} // namespace karumenio::parcel

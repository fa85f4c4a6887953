#pragma once

#include "linestyle.h"
#include "sheetlayer.h"
#include "symbols.h"
#include "textsize.h"

#include "plan/worldtransform.h"

#include <string>
#include <vector>

namespace karumenio::plan {
struct DrawingScale;
struct PaperSize;
} // namespace karumenio::plan

namespace karumenio::layout {

// The pieces a sheet is laid out from. The drawing's pieces are in world coordinates, where
// the plan has them; the layout moves each drawing onto its sheet, keeps its texts apart and
// turns every size into millimetres of paper.

// A line of the drawing: a parcel's boundary, a dividing line.
struct Outline {
    std::vector<plan::WorldPoint> vertices;
    bool closed = false;
    LineStyleId style = LineStyleId::Continuous;
    LayerId layer = LayerId::Boundary;
};

// A point of the drawing with its symbol and its name, which stands beside it.
struct PointPiece {
    plan::WorldPoint at;
    // Empty: no name.
    std::string name;
    SymbolId symbol = SymbolId::BoundaryPoint;
    // The direction the name prefers (away from the parcels it bounds), of length 1; (0, 0)
    // for none.
    plan::WorldPoint outward;
    // The plan's row, for a front end that lets the point be picked; −1 for none.
    int slot = -1;
};

// A text along a stretch of lines, such as a side's length or a neighbouring lot's number: on
// the side the stretch's outside is, else on the other, else away with a leader.
struct StretchText {
    // Two or more points; the text goes along the longest segment first.
    std::vector<plan::WorldPoint> stretch;
    std::string text;
    TextRole role = TextRole::SideLength;
    LayerId layer = LayerId::Lengths;
    // True when the outside lies left of the stretch as it runs.
    bool outsideOnTheLeft = true;
    // A text that names what lies beyond the stretch (a neighbouring lot) stands on its
    // outside only, clear of the side's length where it can.
    bool outsideOnly = false;
};

// A text inside a polygon, such as a lot's number or its sign.
struct AreaText {
    std::vector<plan::WorldPoint> polygon;
    std::string text;
    TextRole role = TextRole::AreaName;
    LayerId layer = LayerId::Names;
};

// Pieces that belong together: parcels that touch. Drawings that do not touch may go onto
// sheets of their own when they do not fit on one together.
struct Drawing {
    std::vector<Outline> outlines;
    std::vector<PointPiece> points;
    std::vector<StretchText> stretchTexts;
    std::vector<AreaText> areaTexts;
};

enum class CellAlignment { Left, Centre, Right };

struct TableColumn {
    std::string heading;
    CellAlignment alignment = CellAlignment::Left;
    // The cells name symbols (Symbol::name), drawn in their middle instead of the name: a
    // legend's 符号.
    bool symbols = false;
    // A value stands for the rows below it up to the next one (such as the parcel of its
    // points): a piece of the table that starts between them shows it again.
    bool carried = false;
};

// A table beside the drawing: a title, a heading row and rows of cells. A table too long for
// its column goes on in the next column to the left, or on the next sheet, with its title
// (marked as continued) and heading again.
struct Table {
    // Empty: no title row.
    std::string title;
    std::vector<TableColumn> columns;
    // One cell per column each.
    std::vector<std::vector<std::string>> rows;
};

struct TitleField {
    std::string label;
    std::string value;
    // What stands in place of a value that would take more lines than a field has (such as
    // the areas of a hundred parcels); empty: the value, however many lines it takes.
    std::string shortened;
};

// The block in the lower right corner of every sheet: its heading, the sheet's number and
// the fields, a long value wrapped onto further lines (kTitleFieldLines at most where the
// field says what stands in its place).
inline constexpr std::size_t kTitleFieldLines = 3;

struct TitleBlock {
    std::string heading;
    std::vector<TitleField> fields;
};

// Everything a layout is made from.
struct LayoutRequest {
    const plan::PaperSize* paper = nullptr;
    const plan::DrawingScale* scale = nullptr;
    // Drawing units per millimetre of paper.
    double unit = 0.0;
    // Survey X in the world, of length 1: where the north arrow points.
    plan::WorldPoint north{0.0, 1.0};
    // Where the first sheet is centred when there is no drawing.
    plan::WorldPoint centre;
    std::vector<Drawing> drawings;
    std::vector<Table> tables;
    TitleBlock titleBlock;
};

} // namespace karumenio::layout

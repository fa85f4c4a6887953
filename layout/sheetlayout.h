#pragma once

#include "geometry.h"
#include "sheetlayer.h"
#include "textsize.h"

#include "plan/worldtransform.h"

#include <string>
#include <vector>

namespace karumenio::plan {
struct DrawingScale;
struct PaperSize;
} // namespace karumenio::plan

namespace karumenio::layout {

// Which point of its box a text is placed by, on its baseline.
enum class Alignment { BottomLeft, BottomCentre, BottomRight };

// A line of text on a sheet.
struct Text {
    LayerId layer = LayerId::Tables;
    TextRole role = TextRole::TableCell;
    std::string text;
    // The point given by the alignment, on the baseline.
    Point at;
    // Millimetres on the paper.
    double height = 0.0;
    // Degrees, counter-clockwise from the sheet's x axis.
    double rotation = 0.0;
    Alignment alignment = Alignment::BottomLeft;
    // The space it covers, descenders included: no two texts' boxes meet.
    Quad box;
    // The row of the plan's point it names; −1 for other texts.
    int slot = -1;
};

// An open polyline, or a closed one that joins its last vertex to its first.
struct Line {
    LayerId layer = LayerId::Tables;
    std::vector<Point> vertices;
    bool closed = false;
};

struct Circle {
    LayerId layer = LayerId::Marks;
    Point centre;
    double radius = 0.0;
};

// Where a point of the plan is drawn on a sheet, for a front end that lets it be picked.
struct PointMark {
    int slot = 0;
    Point at;
};

// One sheet of the map: its frame and everything on it, in millimetres of its paper. The
// sheets lie side by side in the world, each where its origin puts it.
struct Sheet {
    // 1, 2, …
    int number = 1;
    // The world position of the lower left corner of the sheet's edge.
    plan::WorldPoint origin;
    // Drawing units per millimetre of paper: the scale factor.
    double unit = 1.0;
    // The sheet's edge, the border 15 mm in and the inner frame 35 mm in.
    Box outer;
    Box middle;
    Box inner;
    // The part of the inner frame the tables and the title block leave for the drawing.
    Box drawingArea;
    std::vector<Text> texts;
    std::vector<Line> lines;
    std::vector<Circle> circles;
    std::vector<PointMark> marks;

    plan::WorldPoint toWorld(Point p) const {
        return {origin.x + p.x * unit, origin.y + p.y * unit};
    }
};

// What the layout could not do at the scale chosen.
struct FitReport {
    // Texts that found no place free of other texts, lines and marks (or inside the frame).
    int overlappingTexts = 0;
    // Texts placed away from what they name, with a leader.
    int leaders = 0;
    // Drawings larger than the space a sheet leaves them.
    int drawingsTooLarge = 0;
    // The largest scale of the survey map's scales at which the whole drawing goes on one
    // sheet beside its tables, when the chosen scale does not hold it; nullptr otherwise.
    const plan::DrawingScale* fittingScale = nullptr;
};

// The survey map laid out once, for every writer and front end to draw as it stands.
struct SheetLayout {
    // Never null once laid out.
    const plan::PaperSize* paper = nullptr;
    const plan::DrawingScale* scale = nullptr;
    std::vector<Sheet> sheets;
    FitReport fit;
    // Japanese: what the surveyor should know about the layout (what does not fit, and why).
    std::vector<std::string> messages;
};

// 「n枚のうちm枚目」
std::string sheetNumberText(int number, int count);

} // namespace karumenio::layout

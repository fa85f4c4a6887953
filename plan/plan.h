#pragma once

#include "drawingscale.h"
#include "framevalues.h"
#include "layer.h"
#include "papersize.h"
#include "worldtransform.h"
#include "writestate.h"

#include <array>
#include <string>
#include <vector>

namespace karumenio::points {
class Worksheet;
struct PointTable;
} // namespace karumenio::points

namespace karumenio::plan {

struct Settings;

// The text style of the labels: a fixed height in drawing units.
inline constexpr double kLabelHeight = 3.0;
// Distance from a point to its label's insertion point, in drawing units.
inline constexpr double kLabelOffset = 1.3;

// One slot of the read table as the scripts write it, every value already a number.
struct PlanPoint {
    double x = 0.0;
    double y = 0.0;
    // As written; 0 draws no circle, a negative radius is kept (and warned about).
    double radius = 0.0;
    // A break mark: a new polyline starts here (never looked at on slot 0).
    bool breakBefore = false;
    // The break mark's text as the cell shows it, trimmed of ASCII blanks; a closed section
    // takes its first row's text as its name.
    std::string breakMark;
    // The name on one line, trimmed of ASCII blanks.
    std::string label;
    // The label's insertion point in survey coordinates.
    double labelX = 0.0;
    double labelY = 0.0;
};

// Entities in world coordinates. Slots point back to the worksheet row (6 + slot).
struct Polyline {
    LayerId layer = LayerId::Line;
    std::vector<WorldPoint> vertices;
    bool closed = false;
    int firstSlot = 0;
};

struct Circle {
    WorldPoint centre;
    // As written into the script; may be negative.
    double radius = 0.0;
    int slot = 0;
};

struct Label {
    std::string text;
    // Bottom-left corner of the text.
    WorldPoint insertion;
    // Degrees, counter-clockwise from world X: the labels read left to right.
    double rotation = 0.0;
    double height = kLabelHeight;
    int slot = 0;
};

// The drawing of one job, computed once; the scripts, the DXF and the preview only format it.
struct Plan {
    std::array<Layer, 4> layers = kLayers;
    // The sheet and scale chosen; nullptr where the list had no valid selection.
    const PaperSize* paper = nullptr;
    const DrawingScale* scale = nullptr;
    // Decimal degrees from the angle text, and the angle of the labels in the scripts'
    // mirrored system (90 − rotation).
    double rotationAngle = 0.0;
    double labelAngle = 0.0;
    double degreesPerRadian = 0.0;
    // The frame as the ZAHYOU script draws it about the origin, and its scale.
    FrameValues frame;
    double scaleFactor = 0.0;
    std::vector<PlanPoint> points;

    WorldTransform transform;
    // Outer (sheet edge), middle (15 mm border) and inner (35 mm border), closed.
    std::array<Polyline, 3> frameRectangles;
    std::vector<Polyline> polylines;
    std::vector<Circle> circles;
    std::vector<Label> labels;
    // Japanese, each naming its cell: things the drawing program would refuse or change.
    std::vector<std::string> warnings;
    // The values a completed run leaves for the next one.
    WriteState stateAfter;
};

// Computes the plan of the table's points, the frame from the extent cells of the data
// sheet, and the settings; the previous run's state supplies a paper or scale without a
// valid selection. Changes nothing. A coordinate, radius or extent cell holding text that is
// not a number is a type mismatch naming the cell, met in the order a write run meets them:
// extent cells, then each slot's coordinates, then the radii.
Plan computePlan(const points::PointTable& table, const points::Worksheet& dataSheet,
                 const Settings& settings, const WriteState& previous);

// What a completed write run leaves behind: PointIndex at PointCount, the label points in
// LabelX and LabelY, the label angle in RotationAngle, and the frame values and ScaleFactor.
void applyPlan(const Plan& plan, points::PointTable& table, WriteState& state);

} // namespace karumenio::plan

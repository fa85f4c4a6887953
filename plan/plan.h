#pragma once

#include "drawingscale.h"
#include "framevalues.h"
#include "layer.h"
#include "papersize.h"
#include "points/markkind.h"
#include "points/pointclass.h"
#include "settings.h"
#include "worldtransform.h"

#include <array>
#include <string>
#include <vector>

namespace karumenio::points {
struct PointTable;
} // namespace karumenio::points

namespace karumenio::plan {

struct Extent;

// The text style of the labels: a fixed height in drawing units, the height the ZAHYOU
// script gives the style ROMANS.
inline constexpr double kLabelHeight = 3.0;
// Distance from a point to its label's insertion point, in drawing units, along the label
// angle: the names stand a little clear of their points, on the same baseline, at every scale.
// 1.3 is the distance at which the TEXT scripts have always placed the names; the
// surveyors' plans and their golden files depend on it. A change is this line alone, and the
// golden files regenerated (KARUMENIO_REGENERATE_GOLDEN=1, see the README).
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
    // The name as the cell shows it, trimmed of ASCII blanks and whole: what a file that
    // keeps the names as typed writes.
    std::string name;
    // The name as the drawing writes it: on one line, cut at the longest name written.
    std::string label;
    // The label's insertion point in survey coordinates.
    double labelX = 0.0;
    double labelY = 0.0;
    // The boundary mark (境界標, column H) as the cell shows it, without the blanks around it;
    // empty when none is given. markKind is the kind of the list it names, nullptr when none
    // is given or the text is not one of the list (it is kept, and shown, as written).
    std::string markText;
    const points::MarkKind* markKind = nullptr;
    // The class (種別, column I) as the cell shows it, without the blanks around it; an empty
    // cell and a text not of the list count as a boundary point.
    std::string classText;
    points::PointClassId pointClass = points::PointClassId::Boundary;
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
    // The edition code the scripts are written for, as the settings give it.
    std::string edition;
    // The sheet and scale chosen; never null.
    const PaperSize* paper = &paperByToken(kDefaultPaper);
    const DrawingScale* scale = &scaleByToken(kDefaultScale);
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
};

// Computes the plan of the table's points with the frame centred on the extent. Changes
// nothing. Failures come in the order a write run meets them: an angle too large to read
// (6), then each slot's coordinates, then the radii, where text that is not a number is a
// type mismatch (13) naming its cell; then a number that is not finite anywhere (6).
Plan computePlan(const points::PointTable& table, const Extent& extent, const Settings& settings);

// The points of the table alone, for files that carry nothing else: coordinates, names and
// break marks, with no frame, entity, radius or warning. A coordinate that is not a number is
// the same type mismatch as in computePlan.
Plan computePoints(const points::PointTable& table);

// What a completed write run leaves in the table: PointIndex at PointCount, and the label
// points in LabelX and LabelY.
void applyPlan(const Plan& plan, points::PointTable& table);

} // namespace karumenio::plan

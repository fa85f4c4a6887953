#pragma once

#include "framevalues.h"

#include "points/cellvalue.h"

namespace karumenio::plan {

// Values the main window keeps from one write run to the next.
struct WriteState {
    // Decimal degrees after the angle conversion; after a complete run it holds the label
    // angle of the TEXT script until the next run converts the angle text again.
    points::CellValue rotationAngle;
    // The degrees-per-radian text; it takes part in arithmetic as 57.29577951308232.
    points::CellValue degreesPerRadian;
    FrameValues frame;
    double scaleFactor = 0.0;
};

} // namespace karumenio::plan

#pragma once

#include "framevalues.h"

namespace karumenio::plan {

struct Extent;
struct PaperSize;

// The sheet frame: three nested rectangles of the paper about the origin, in millimetres,
// and the centre of the extent that they are moved onto. The centre is reached through the
// direction and half-length of the extent's diagonal, so it carries their rounding.
FrameValues computeFrame(const Extent& extent, const PaperSize& paper, double degreesPerRadian);

} // namespace karumenio::plan

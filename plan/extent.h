#pragma once

namespace karumenio::plan {

// The largest and smallest coordinates of the data, which the frame is centred on: as the
// worksheet's extent formulas give them, which need not be the points that were read.
struct Extent {
    double maxX = 0.0;
    double minX = 0.0;
    double maxY = 0.0;
    double minY = 0.0;
};

} // namespace karumenio::plan

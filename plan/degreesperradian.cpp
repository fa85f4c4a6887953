#include "degreesperradian.h"

#include "points/cellvalue.h"

namespace karumenio::plan {

double degreesPerRadian() {
    static const double value = points::readNumber(kDegreesPerRadianText).value();
    return value;
}

} // namespace karumenio::plan

#include "degreesperradian.h"

#include "spreadsheet/cellvalue.h"

namespace karumenio::plan {

double degreesPerRadian() {
    static const double value = spreadsheet::readNumber(kDegreesPerRadianText).value();
    return value;
}

} // namespace karumenio::plan

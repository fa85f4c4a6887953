#include "worldtransform.h"

#include <cmath>

namespace karumenio::plan {

WorldTransform::WorldTransform(double rotationDegrees, double degreesPerRadian)
    : m_degrees(rotationDegrees) {
    const double radians = rotationDegrees / degreesPerRadian;
    m_sin = std::sin(radians);
    m_cos = std::cos(radians);
}

} // namespace karumenio::plan

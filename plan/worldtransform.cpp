#include "worldtransform.h"

#include "numeric/trig.h"

namespace karumenio::plan {

WorldTransform::WorldTransform(double rotationDegrees, double degreesPerRadian)
    : m_degrees(rotationDegrees) {
    const double radians = rotationDegrees / degreesPerRadian;
    m_sin = numeric::sin(radians);
    m_cos = numeric::cos(radians);
}

} // namespace karumenio::plan

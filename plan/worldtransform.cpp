#include "worldtransform.h"

#include "trig.h"

namespace karumenio::plan {

WorldTransform::WorldTransform(double rotationDegrees, double degreesPerRadian)
    : m_degrees(rotationDegrees) {
    const double radians = rotationDegrees / degreesPerRadian;
    m_sin = plan::sin(radians);
    m_cos = plan::cos(radians);
}

} // namespace karumenio::plan

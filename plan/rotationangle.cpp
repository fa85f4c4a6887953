#include "rotationangle.h"

#include "kakudo.h"

namespace karumenio::plan {

RotationAngle::RotationAngle(std::string_view text) {
    try {
        m_degrees = packedAngleDegrees(looseNumber(text));
    } catch (const spreadsheet::RunTimeError& failure) {
        m_failure = failure;
    }
}

double RotationAngle::degrees() const {
    if (m_failure) {
        throw *m_failure;
    }
    return m_degrees;
}

} // namespace karumenio::plan

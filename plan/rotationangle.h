#pragma once

#include "spreadsheet/runtimeerror.h"

#include <optional>
#include <string_view>

namespace karumenio::plan {

// The rotation of a plan, read once from the text typed as ddd.mmss: the loose reading of
// the angle box (looseNumber), the fields taken from the decimal digits (packedAngleDegrees).
// Any text reads as an angle, 0 where it holds no number; only a number too large for a
// double cannot, and that overflow waits for the run that uses the angle.
class RotationAngle {
  public:
    // 0, as the start-up text "0.0000" reads.
    RotationAngle() = default;
    explicit RotationAngle(std::string_view text);

    // Decimal degrees; the overflow error (6) for a text too large to read.
    double degrees() const;

  private:
    double m_degrees = 0.0;
    std::optional<spreadsheet::RunTimeError> m_failure;
};

} // namespace karumenio::plan

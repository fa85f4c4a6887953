#pragma once

#include "spreadsheet/runtimeerror.h"

#include <optional>
#include <string>
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

    // A text that is not a plain ddd.mmss number (an optional sign, digits, a point and
    // decimals whose minutes and seconds are under 60) is read the way the angle box reads it;
    // this says which angle that gave, naming the text as the subject calls it ("--angle",
    // "角度(UCS)"). Empty for a plain text, and for one too large to be read, which stops the
    // run with its own error.
    std::string warning(std::string_view subject) const;

  private:
    std::string m_text = "0.0000";
    double m_degrees = 0.0;
    std::optional<spreadsheet::RunTimeError> m_failure;
};

} // namespace karumenio::plan

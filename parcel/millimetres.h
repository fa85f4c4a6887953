#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace karumenio::parcel {

// Coordinates of 10^15 m or more have no millimetres in the 15 significant digits a cell
// shows; below it every coordinate is a whole number of millimetres under 10^18, which
// 64 bits hold with room for the difference of two.
inline constexpr double kLargestCoordinate = 1e15;

// A coordinate in metres rounded to the millimetre, half away from zero, as an exact integer.
// The rounding starts from the decimal the sheet shows and the scripts write (15 significant
// digits), never from the binary double: the double nearest 100.1 is 100100 mm, and 12.3455
// is 12346 mm as a surveyor rounds it. Empty for a coordinate that is not finite or whose
// magnitude reaches kLargestCoordinate.
std::optional<std::int64_t> toMillimetres(double metres);

// Millimetres as metres with 3 decimals: "-12.345", "0.005".
std::string metresText(std::int64_t millimetres);

} // namespace karumenio::parcel

#pragma once

#include "pointrows.h"

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::survey {

// Splits one SIMA record into its fields: comma-separated, blanks around each field
// removed, a field in double quotes kept as written between them (a quote doubled inside).
std::vector<std::string> splitSimaRecord(std::string_view line);

// Reads SIMA coordinates (A01) and parcels (D00, B01, D99) from decoded UTF-8 text. Each
// parcel becomes one section closed on its first vertex, its first row marked with the
// parcel name (its number when the name is empty, "*" when both are); then every point of
// no parcel follows as a section of its own marked "*". A coordinate that is not a number
// throws the type mismatch error naming the line; unknown vertices and records of other
// kinds are warnings.
PointRows readSima(std::string_view text);

} // namespace karumenio::survey

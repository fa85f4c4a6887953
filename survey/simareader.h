#pragma once

#include "pointrows.h"

#include "points/pointtable.h"

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
// kinds are warnings, a few of each kind and then how many more there were. Two points of one
// number are a warning naming both lines; the first is used. Rows past mostRows are only
// counted (and past that many points not even counted, each point making one row at least),
// so that a file of millions of records needs room for the rows the sheet holds.
PointRows readSima(std::string_view text, std::size_t mostRows = points::kSlotCount);

} // namespace karumenio::survey

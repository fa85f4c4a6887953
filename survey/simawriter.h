#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::points {
struct PointTable;
} // namespace karumenio::points

namespace karumenio::survey {

// The points of the latest read as a SIMA file (code page 932, CR LF, every record ending in
// a comma): G00 with the site name, the coordinate block with one A01 per distinct point
// (numbered by the slot where it first appears, plus 1), and one D00/B01/D99 parcel per
// section of two or more points. A section that ends on its first point is written without
// that repeat, as a reader closes every parcel. Characters code page 932 cannot hold are
// written as "?" and reported in warnings. A coordinate that is not a number is error 13.
std::string writeSima(const points::PointTable& table, std::string_view siteName,
                      std::vector<std::string>& warnings);

} // namespace karumenio::survey

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
} // namespace karumenio::plan

namespace karumenio::survey {

// The points of a plan as a SIMA file (code page 932, CR LF, every record ending in a comma):
// G00 with the site name, the coordinate block with one A01 per distinct point (numbered by
// the slot where it first appears, plus 1), and one D00/B01/D99 parcel per closed section
// (three or more rows, the last at the first's coordinates), named by its break mark. A section
// that ends on its first point is written without that repeat, as a reader closes every
// parcel; an open one, which a reader would close, is left to its points, with a warning that
// names where such sections start. Names and marks longer than any name written are cut, and
// characters code page 932 cannot hold are written as "?", each reported in warnings.
std::string writeSima(const plan::Plan& plan, std::string_view siteName,
                      std::vector<std::string>& warnings);

} // namespace karumenio::survey

#pragma once

#include "parcel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

// A neighbouring lot (隣接地) as the surveyor lists it: the lot's number, or 道路, 水路 and the
// like, and the stretch of a parcel's boundary it lies along, from one point to another by
// their names: "5番:P1-P3".
struct Neighbour {
    std::string lot;
    // The two point names as written, joined by "-" (or "〜", "～").
    std::string stretch;

    friend bool operator==(const Neighbour&, const Neighbour&) = default;
};

// "LOT:P1-P2" (the colon may be full-width) as a neighbour; nullopt when there is no colon,
// the lot is empty or the stretch has no two names. Blanks around each part are left out.
std::optional<Neighbour> parseNeighbour(std::string_view text);

// The neighbour written back as "LOT:P1-P2".
std::string neighbourText(const Neighbour& neighbour);

// A listed neighbour found on a parcel: sides firstSide, firstSide + 1, … (sideCount of them,
// counted round the parcel from its first corner) lie along it.
struct NeighbourStretch {
    std::string lot;
    std::size_t parcel = 0;
    std::size_t firstSide = 0;
    std::size_t sideCount = 0;
};

struct NeighbourSearch {
    // For each parcel and each of its sides (side i runs from corner i to the next), the lots
    // along it: the listed ones, then the other parcels of the job that share the side.
    std::vector<std::vector<std::vector<std::string>>> lots;
    // The listed neighbours in their order, each on every parcel that has both its points.
    std::vector<NeighbourStretch> stretches;
    // Japanese: listed neighbours whose points are no two corners of one parcel.
    std::vector<std::string> warnings;
};

// Finds the stretch of each listed neighbour: the parcel whose corners have both names. Two
// neighbouring corners give the side between them; otherwise the stretch runs from the first
// point to the second in the order of the parcel's corners. A stretch may be named on either
// side of a "-" that also stands inside a point name ("No.1-2-No.3"): the split that names two
// corners is taken.
NeighbourSearch findNeighbours(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                               const std::vector<Neighbour>& neighbours);

} // namespace karumenio::parcel

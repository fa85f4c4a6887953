#pragma once

#include "lotsign.h"
#include "parcel.h"
#include "wideinteger.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

struct AccuracyClass;
struct ParcelArea;

// A subdivision (分筆) as the surveyor states it: which parcel of the job is the lot before,
// how its new lots are signed, and what the register says of it.
struct SubdivisionSettings {
    // The parent parcel's name (the break mark of its first row); empty: no subdivision.
    std::string parent;
    const LotSignStyle* signs = &kLotSignStyles[0];
    // The parent's registered area (登記地積) in square millimetres; none: not given.
    std::optional<std::int64_t> registeredArea;
    // The class whose tolerance the registered area is held against; nullptr: none chosen.
    const AccuracyClass* accuracyClass = nullptr;
    // The new lot that keeps the parent's number (残地); empty for none.
    std::string remainder;
};

// A square-metre text with at most 6 decimals ("150.25") as exact square millimetres;
// nullopt for anything else, a sign included.
std::optional<std::int64_t> squareMillimetresOf(std::string_view text);

// A new lot of the subdivision.
struct NewLot {
    // Its place among the job's parcels (and their areas).
    std::size_t parcel = 0;
    std::string sign;
    bool remainder = false;
};

// The subdivision found among the job's parcels and checked on the millimetre integers.
struct SubdivisionCheck {
    // The parent's place among the parcels; none when no parcel has its name.
    std::optional<std::size_t> parent;
    // The other parcels that reach inside the parent, in the order of their rows.
    std::vector<NewLot> lots;
    // 倍面積 of the parent, the sum of the new lots', and the second less the first.
    WideInteger parentDoubleArea;
    WideInteger lotsDoubleArea;
    WideInteger difference;
    // 面積 likewise: the parent's, and half the lots' summed double areas, truncated once, so
    // that lots that add up show the parent's area.
    WideInteger parentArea;
    WideInteger lotsArea;
    // Japanese: what does not add up or lies wrong, and the registered area beyond the class's
    // tolerance. Empty when the subdivision is sound.
    std::vector<std::string> warnings;

    bool matches() const { return difference.isZero(); }
};

// Finds the parent by its name and takes every other parcel with a corner strictly inside it,
// or a side through its inside, or lying along its outline only, as a new lot. Then checks,
// exactly: the lots' double areas add up to the parent's; every corner of a lot lies inside the
// parent or on its boundary and no side of a lot crosses the parent's; no two lots overlap (a side
// crossing another's, or a corner inside another); the parent's area against the registered area
// within the class's tolerance (地積更正 named when beyond). Parcels wholly outside the parent are
// named as left out. Nothing here is refused: the warnings say what is wrong.
SubdivisionCheck checkSubdivision(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                                  const std::vector<ParcelArea>& areas,
                                  const SubdivisionSettings& settings);

} // namespace karumenio::parcel

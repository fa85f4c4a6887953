#pragma once

#include <array>
#include <string>
#include <string_view>

namespace karumenio::points {

// What a surveyed point is to the survey map. Only boundary points make parcels; the others
// are shown with their coordinates, never taken into an area.
enum class PointClassId { Boundary, Reference, Control };

struct PointClass {
    PointClassId id;
    // What the column 種別 holds and the map's list of coordinates shows.
    std::string_view text;
};

// The first row is what an empty cell means.
inline constexpr std::array<PointClass, 3> kPointClasses{{
    {PointClassId::Boundary, "筆界点"},
    {PointClassId::Reference, "引照点"},
    {PointClassId::Control, "基準点"},
}};

const PointClass& pointClass(PointClassId id);

// The class a cell names, blanks around it left out: the first row for an empty text, nullptr
// for a text that is not one of the list.
const PointClass* findPointClass(std::string_view text);

// The classes joined with "・", for messages and notes.
std::string pointClassList();

} // namespace karumenio::points

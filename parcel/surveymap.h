#pragma once

#include "landcategory.h"
#include "titleblock.h"

#include "plan/worldtransform.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace karumenio::plan {
struct Plan;
}

namespace karumenio::parcel {

struct Parcel;

// The two layers the survey map adds to a plan, after the plan's four.
enum class MapLayerId { Lengths, AreaTable };

struct MapLayer {
    MapLayerId id;
    std::string_view name;
    // Colour number of the drawing programs' standard palette.
    int colour;
};

inline constexpr std::array<MapLayer, 2> kMapLayers{{
    {MapLayerId::Lengths, "P_HENCHO", 1},
    {MapLayerId::AreaTable, "P_KYUSEKI", 7},
}};

constexpr const MapLayer& mapLayer(MapLayerId id) {
    return kMapLayers[static_cast<std::size_t>(id)];
}

// Text heights and sizes on the paper, in millimetres: what a registration map is read at.
// In the drawing they are multiplied by the scale factor, so that 2.5 mm at 1:250 is 0.625 m.
inline constexpr double kLengthTextHeight = 2.5;
inline constexpr double kTableTextHeight = 2.0;
inline constexpr double kTableRowHeight = 4.0;
inline constexpr double kTitleTextHeight = 2.5;
inline constexpr double kTitleRowHeight = 5.0;
inline constexpr double kHeadingTextHeight = 4.0;
inline constexpr double kHeadingRowHeight = 7.0;
inline constexpr double kNorthArrowLength = 20.0;
inline constexpr double kNorthLetterHeight = 3.5;

// Which point of its box a text is placed by, on its bottom line.
enum class TextAlignment { BottomLeft, BottomCentre, BottomRight };

// A line of text in world coordinates.
struct MapText {
    MapLayerId layer = MapLayerId::AreaTable;
    std::string text;
    // The point given by the alignment.
    plan::WorldPoint at;
    // Drawing units.
    double height = 0.0;
    // Degrees, counter-clockwise from world X.
    double rotation = 0.0;
    TextAlignment alignment = TextAlignment::BottomLeft;
};

// An open polyline in world coordinates; a closed shape repeats its first vertex at the end.
struct MapLine {
    MapLayerId layer = MapLayerId::AreaTable;
    std::vector<plan::WorldPoint> vertices;
};

// The land category and the title block's fields: what a job remembers for its survey map.
struct SurveyMapSettings {
    const LandCategory* landCategory = &kDefaultLandCategory;
    TitleBlock titleBlock;
};

// The survey map's drawing: side lengths, the area table, the north arrow and the title
// block, as entities in world coordinates that the DXF, the KYUSEKI script and the preview
// draw the same way.
struct SurveyMap {
    std::vector<MapLine> lines;
    std::vector<MapText> texts;
    // Japanese: the parts of the map that do not fit on the sheet or cover the drawing.
    std::vector<std::string> fitMessages;
};

// The survey map of a plan and its parcels: each side's length at its midpoint, along it
// and outside the parcel (a side two parcels share once); the area table with every parcel
// (the columns and totals of the area CSV) in the inner frame's upper right corner; the
// north arrow towards survey X in its upper left; the title block in its lower right. A
// plan without a scale factor (no scale ever chosen) gets no map and a fit message.
SurveyMap drawSurveyMap(const plan::Plan& plan, const std::vector<Parcel>& parcels,
                        const SurveyMapSettings& settings);

// One warning per text of the map that code page 932 cannot hold whole, naming the
// characters written as "?".
void warnUnmappableTexts(const SurveyMap& map, std::vector<std::string>& warnings);

} // namespace karumenio::parcel

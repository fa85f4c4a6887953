#pragma once

#include "surveymap.h"

#include <string_view>

namespace karumenio::parcel {

struct ParcelArea;

// An axis-aligned box in world coordinates; empty until a point is added.
struct Box {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    bool empty = true;

    void add(plan::WorldPoint p);
    void include(const Box& other);
    bool overlaps(const Box& other) const;
};

// Draws into a survey map on the plan's sheet: sizes are given in millimetres of paper and
// turned into drawing units by the scale factor; the inner frame bounds the map's parts.
class MapDrawing {
  public:
    MapDrawing(const plan::Plan& plan, SurveyMap& map);

    const plan::Plan& plan() const { return m_plan; }
    // Drawing units per millimetre of paper.
    double unit() const { return m_unit; }
    const Box& innerFrame() const { return m_inner; }

    void line(MapLayerId layer, std::vector<plan::WorldPoint> vertices);
    // Adds a text (nothing for an empty one) and returns the box it is estimated to cover.
    Box text(MapLayerId layer, std::string_view text, plan::WorldPoint at, double heightMm,
             double rotation, TextAlignment alignment);

    // How wide a text of this height is likely to be drawn: a half-width character 0.85 of
    // the height (the single-stroke fonts are wide), a full-width one 1.05.
    static double estimatedWidth(std::string_view text, double height);

  private:
    const plan::Plan& m_plan;
    SurveyMap& m_map;
    double m_unit;
    Box m_inner;
};

// The text as one line for the drawing: control characters become blanks, ASCII blanks at
// both ends go.
std::string drawingText(std::string_view text);

// Each part draws itself and returns the box it covers, for the fit check.
std::vector<Box> drawSideLengths(MapDrawing& drawing, const std::vector<Parcel>& parcels,
                                 const std::vector<ParcelArea>& areas);
Box drawAreaTable(MapDrawing& drawing, const std::vector<ParcelArea>& areas);
Box drawNorthArrow(MapDrawing& drawing);
Box drawTitleBlock(MapDrawing& drawing, const std::vector<TitleRow>& rows);

} // namespace karumenio::parcel

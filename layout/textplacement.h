#pragma once

#include "sheetbuilder.h"

#include <string_view>
#include <vector>

namespace karumenio::layout {

// How far a text may go from what it names: beside it; away, with a short leader; or, where
// nothing is free, beside it on top of something (counted in the fit report). Every text is
// tried beside its place before any goes away, so that a leader never takes another text's
// place beside its own.
enum class Stage { Beside, Away, Anywhere };

// Places the drawing's texts on a sheet, each at the first of its candidate places of the
// stage that is free. Each returns whether the text is placed (an empty text always is).
class TextPlacer {
  public:
    // With insideFirst, a text along a stretch tries the inside before the outside: where
    // the outside is crowded with names, the inside of a parcel is mostly free.
    TextPlacer(SheetBuilder& sheet, FitReport& fit, bool insideFirst = false)
        : m_sheet(sheet), m_fit(fit), m_insideFirst(insideFirst) {}

    // A point's name around it, clear of its symbol (clearance from the point), the
    // preferred direction (of length 1, or zero) first.
    bool placeName(Point point, double clearance, Point preferred, std::string_view name, int slot,
                   Stage stage);
    // A text along the stretch's longest segment that has room: outside, then inside.
    bool placeAlong(const std::vector<Point>& stretch, std::string_view text, TextRole role,
                    LayerId layer, bool outsideOnTheLeft, Stage stage);
    // A text inside the polygon, where it is widest.
    bool placeInside(const std::vector<Point>& polygon, std::string_view text, TextRole role,
                     LayerId layer, Stage stage);

  private:
    // Each with the text's box centred at the point.
    bool tryPlace(const Text& text, Point centre);
    bool tryWithLeader(const Text& text, Point centre, Point anchor, double clearance);
    // Rings of places further and further round the anchor, each with a leader.
    bool tryAround(const Text& text, Point anchor, double clearance);
    void placeAnyway(const Text& text, Point centre);

    SheetBuilder& m_sheet;
    FitReport& m_fit;
    bool m_insideFirst;
};

// The text moved so that its box's centre lies at the point.
Text centredAt(const Text& text, Point centre);

} // namespace karumenio::layout

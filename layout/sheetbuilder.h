#pragma once

#include "obstacleindex.h"
#include "sheetlayout.h"

#include <string>
#include <vector>

namespace karumenio::layout {

// A text of the role's height with its box, placed by its alignment point; an empty text
// after drawingText() has an empty string and covers nothing.
Text makeText(LayerId layer, TextRole role, std::string_view text, Point at, double rotation,
              Alignment alignment, int slot = -1);

// Fills one sheet, keeping what it holds in an obstacle index so that each text placed
// after it can keep clear of it.
class SheetBuilder {
  public:
    explicit SheetBuilder(Sheet& sheet);

    Sheet& sheet() { return m_sheet; }
    const Box& inner() const { return m_sheet.inner; }

    // Whether a box lies inside the inner frame and meets nothing placed.
    bool isFree(const Quad& box) const;
    bool isFree(Point a, Point b) const { return m_obstacles.isFree(a, b); }

    // Adds the text (nothing for an empty one) and keeps its box clear.
    void add(Text text);
    // Adds a line; an obstacle line keeps texts off each of its segments.
    void line(LayerId layer, std::vector<Point> vertices, bool closed, bool obstacle);
    // A part of the sheet (a table, the title block) no text may enter.
    void reserve(const Box& box);
    void reserve(const Quad& box);
    // A segment no text may cross.
    void reserve(Point a, Point b);

    // How much the sheet holds, to go back to when another way of placing its texts is
    // tried: what came after is taken away again.
    struct Mark {
        std::size_t texts = 0;
        std::size_t lines = 0;
        std::size_t circles = 0;
        std::size_t obstacles = 0;
    };
    Mark mark() const;
    void rollBack(const Mark& mark);

  private:
    Sheet& m_sheet;
    ObstacleIndex m_obstacles;
};

} // namespace karumenio::layout

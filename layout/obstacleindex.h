#pragma once

#include "geometry.h"

#include <vector>

namespace karumenio::layout {

// What a sheet already holds, for the placement of its texts: rectangles (texts, tables,
// symbols) and segments (lines, leaders), found through a grid of cells so that a sheet of
// thousands of texts is laid out in milliseconds.
class ObstacleIndex {
  public:
    // The region the grid covers; obstacles beyond it are kept in its border cells.
    explicit ObstacleIndex(const Box& region, double cellSize = 5.0);

    void add(const Quad& quad);
    void add(Point a, Point b);

    // Whether the rectangle meets no rectangle and no segment crosses it.
    bool isFree(const Quad& quad) const;
    // Whether the segment crosses no rectangle and meets no segment.
    bool isFree(Point a, Point b) const;

    // How many obstacles it holds, and back to the first so many of them.
    std::size_t size() const { return m_items.size(); }
    void truncate(std::size_t size);

  private:
    struct Item {
        Quad quad;
        Point a;
        Point b;
        bool segment = false;
    };

    void insert(const Box& bounds, int item);
    // Calls visit(item) once for every item whose cells the box touches, until it returns true.
    template <typename Visit> bool any(const Box& bounds, Visit visit) const;
    int column(double x) const;
    int row(double y) const;

    Box m_region;
    double m_cell;
    int m_columns;
    int m_rows;
    std::vector<Item> m_items;
    std::vector<std::vector<int>> m_cells;
    // Which query last saw each item, so that an item in several cells is tested once.
    mutable std::vector<unsigned> m_seen;
    mutable unsigned m_query = 0;
};

} // namespace karumenio::layout

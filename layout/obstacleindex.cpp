#include "obstacleindex.h"

#include <algorithm>
#include <cmath>

namespace karumenio::layout {

ObstacleIndex::ObstacleIndex(const Box& region, double cellSize)
    : m_region(region), m_cell(cellSize),
      m_columns(std::max(1, static_cast<int>(std::ceil(region.width() / cellSize)))),
      m_rows(std::max(1, static_cast<int>(std::ceil(region.height() / cellSize)))),
      m_cells(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows)) {}

int ObstacleIndex::column(double x) const {
    const double c = std::floor((x - m_region.minX) / m_cell);
    return static_cast<int>(std::clamp(std::isfinite(c) ? c : 0.0, 0.0, m_columns - 1.0));
}

int ObstacleIndex::row(double y) const {
    const double r = std::floor((y - m_region.minY) / m_cell);
    return static_cast<int>(std::clamp(std::isfinite(r) ? r : 0.0, 0.0, m_rows - 1.0));
}

void ObstacleIndex::insert(const Box& bounds, int item) {
    for (int r = row(bounds.minY); r <= row(bounds.maxY); ++r) {
        for (int c = column(bounds.minX); c <= column(bounds.maxX); ++c) {
            m_cells[static_cast<std::size_t>(r * m_columns + c)].push_back(item);
        }
    }
    m_seen.push_back(0);
}

void ObstacleIndex::add(const Quad& quad) {
    m_items.push_back({quad, {}, {}, false});
    insert(quad.bounds(), static_cast<int>(m_items.size() - 1));
}

void ObstacleIndex::add(Point a, Point b) {
    m_items.push_back({{}, a, b, true});
    // The segment's cells are those of its box: a long diagonal one costs a few more tests.
    insert(Box::of(a, b), static_cast<int>(m_items.size() - 1));
}

void ObstacleIndex::truncate(std::size_t size) {
    // Each cell lists its items in the order they came, so the last ones are at its end.
    while (m_items.size() > size) {
        const Item& item = m_items.back();
        const Box bounds = item.segment ? Box::of(item.a, item.b) : item.quad.bounds();
        for (int r = row(bounds.minY); r <= row(bounds.maxY); ++r) {
            for (int c = column(bounds.minX); c <= column(bounds.maxX); ++c) {
                m_cells[static_cast<std::size_t>(r * m_columns + c)].pop_back();
            }
        }
        m_items.pop_back();
        m_seen.pop_back();
    }
}

template <typename Visit> bool ObstacleIndex::any(const Box& bounds, Visit visit) const {
    ++m_query;
    for (int r = row(bounds.minY); r <= row(bounds.maxY); ++r) {
        for (int c = column(bounds.minX); c <= column(bounds.maxX); ++c) {
            for (const int item : m_cells[static_cast<std::size_t>(r * m_columns + c)]) {
                if (m_seen[static_cast<std::size_t>(item)] == m_query) {
                    continue;
                }
                m_seen[static_cast<std::size_t>(item)] = m_query;
                if (visit(m_items[static_cast<std::size_t>(item)])) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool ObstacleIndex::isFree(const Quad& quad) const {
    return !any(quad.bounds(), [&](const Item& item) {
        return item.segment ? crosses(item.a, item.b, quad) : overlaps(item.quad, quad);
    });
}

bool ObstacleIndex::isFree(Point a, Point b) const {
    Box bounds;
    bounds.add(a);
    bounds.add(b);
    return !any(bounds, [&](const Item& item) {
        return item.segment ? segmentsMeet(item.a, item.b, a, b) : crosses(a, b, item.quad);
    });
}

} // namespace karumenio::layout

#pragma once

// Parcels made up for the layout's tests and benchmark: rows as a spreadsheet copies them
// (mark, name, X, Y), each parcel closed on its first point.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace karumenio::layout::test {

enum class Shape {
    // A rounded oblong's corners, a little off it, as a lot of many corners is drawn.
    Convex,
    // A star: every other corner drawn in.
    Concave,
    // A strip five times as long as it is wide, its corners along the long sides.
    LongAndThin,
    // Lots of a block that share their sides, each side broken at points off its line.
    Block,
};

struct Survey {
    Shape shape = Shape::Convex;
    // Corners of each parcel.
    int points = 4;
    int parcels = 1;
    // About how far apart the corners are, in metres.
    double spacing = 6.0;
    // Parcels other than a block's stand this far apart: no neighbours.
    double apart = 0.0;
};

namespace detail {

using Corner = std::pair<double, double>;

inline std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

inline std::string rowsOf(const std::string& mark, const std::vector<Corner>& corners,
                          const std::vector<std::string>& names) {
    std::string rows;
    for (std::size_t k = 0; k <= corners.size(); ++k) {
        const std::size_t i = k % corners.size();
        rows += (k == 0 ? mark : std::string()) + "\t" + names[i] + "\t" +
                number(1000 + corners[i].first) + "\t" + number(2000 + corners[i].second) + "\n";
    }
    return rows;
}

// A little off the line, the same way for the same corner.
inline double wobble(int seed) {
    return 0.2 * std::sin(seed * 2.39996);
}

inline std::vector<Corner> single(const Survey& survey) {
    const int n = survey.points;
    std::vector<Corner> corners;
    const double perimeter = survey.spacing * n;
    for (int k = 0; k < n; ++k) {
        const double t = 2 * std::numbers::pi * k / n;
        switch (survey.shape) {
        case Shape::Convex:
        case Shape::Block: {
            // Evenly round an oblong of sides 4 : 5 with corners rounded to a fifth of its
            // width, a little off the line.
            const double width = perimeter / (2 * (0.8 + 1.0) - 0.4 * (4 - std::numbers::pi));
            const double a = 0.8 * width;
            const double b = width;
            const double r = 0.2 * width;
            const double straightA = a - 2 * r;
            const double straightB = b - 2 * r;
            const double arc = std::numbers::pi / 2 * r;
            double along = perimeter * k / n;
            // Up the right side, round, along the top, round… from the lower right.
            const double pieces[8] = {straightB, arc, straightA, arc,
                                      straightB, arc, straightA, arc};
            double x = a / 2;
            double y = -b / 2 + r;
            for (int piece = 0; piece < 8; ++piece) {
                const double l = std::min(along, pieces[piece]);
                const int quarter = piece / 2;
                if (piece % 2 == 0) {
                    const double dx[4] = {0, -1, 0, 1};
                    const double dy[4] = {1, 0, -1, 0};
                    x += dx[quarter] * l;
                    y += dy[quarter] * l;
                } else {
                    const double start = quarter * std::numbers::pi / 2;
                    const double cx = x - r * std::cos(start);
                    const double cy = y - r * std::sin(start);
                    const double angle = start + l / r;
                    x = cx + r * std::cos(angle);
                    y = cy + r * std::sin(angle);
                }
                along -= l;
                if (along <= 0) {
                    break;
                }
            }
            corners.push_back({x + wobble(k), y + wobble(k + 7)});
            break;
        }
        case Shape::Concave: {
            const double r = perimeter / (2 * std::numbers::pi) * (k % 2 == 0 ? 1.15 : 0.7);
            corners.push_back({r * std::cos(t), r * std::sin(t)});
            break;
        }
        case Shape::LongAndThin: {
            // Down one long side and back along the other.
            const int side = (n + 1) / 2;
            const double length = survey.spacing * std::max(1, side - 1);
            const double width = std::max(3.0, length / 5);
            if (k < side) {
                corners.push_back({0.0 + wobble(k), length * k / std::max(1, side - 1)});
            } else {
                const int back = k - side;
                const int others = n - side;
                corners.push_back(
                    {width + wobble(k), length - length * back / std::max(1, others - 1)});
            }
            break;
        }
        }
    }
    return corners;
}

} // namespace detail

// The rows of the survey: a block of lots side by side in rows, or separate parcels of the
// shape (apart, or one after the other along Y when apart is 0, touching nothing).
inline std::string surveyRows(const Survey& survey) {
    using detail::Corner;
    std::string rows;
    if (survey.shape != Shape::Block) {
        const std::vector<Corner> corners = detail::single(survey);
        double extent = 0;
        for (const Corner& c : corners) {
            extent = std::max({extent, std::fabs(c.first), std::fabs(c.second)});
        }
        const double step = survey.apart > 0 ? survey.apart : 2 * extent + 4 * survey.spacing;
        for (int p = 0; p < survey.parcels; ++p) {
            std::vector<Corner> moved;
            std::vector<std::string> names;
            for (std::size_t k = 0; k < corners.size(); ++k) {
                moved.push_back({corners[k].first + (p % 2) * 0.37, corners[k].second + p * step});
                names.push_back("P" + std::to_string(p * survey.points + static_cast<int>(k) + 1));
            }
            rows += detail::rowsOf("L" + std::to_string(p + 1), moved, names);
        }
        return rows;
    }
    // A block: columns × rows of lots; each side broken at `between` points, shared by the
    // lots on both sides of it.
    const int between = std::max(0, (survey.points - 4) / 4);
    const int columns = static_cast<int>(std::ceil(std::sqrt(survey.parcels * 1.5)));
    const double size = survey.spacing * (between + 1);
    std::map<std::pair<int, int>, Corner> grid;
    std::map<std::pair<int, int>, std::string> gridName;
    int named = 0;
    const auto corner = [&](int i, int j) {
        const auto key = std::make_pair(2 * i * (between + 1), 2 * j * (between + 1));
        if (grid.emplace(key, Corner{j * size + detail::wobble(i * 31 + j),
                                     i * size + detail::wobble(i + 17 * j)})
                .second) {
            gridName[key] = "B" + std::to_string(++named);
        }
        return key;
    };
    // The points between two grid corners, from a to b, made once for both lots.
    const auto side = [&](std::pair<int, int> a, std::pair<int, int> b) {
        std::vector<std::pair<int, int>> keys;
        for (int k = 1; k <= between; ++k) {
            const std::pair<int, int> key{a.first + (b.first - a.first) * k / (between + 1),
                                          a.second + (b.second - a.second) * k / (between + 1)};
            const double t = static_cast<double>(k) / (between + 1);
            const Corner& p = grid[a];
            const Corner& q = grid[b];
            if (grid.emplace(key, Corner{p.first + (q.first - p.first) * t +
                                             detail::wobble(key.first * 13 + key.second),
                                         p.second + (q.second - p.second) * t +
                                             detail::wobble(key.first + 29 * key.second)})
                    .second) {
                gridName[key] = "B" + std::to_string(++named);
            }
            keys.push_back(key);
        }
        return keys;
    };
    for (int p = 0; p < survey.parcels; ++p) {
        const int i = p / columns;
        const int j = p % columns;
        const std::pair<int, int> square[] = {corner(i, j), corner(i, j + 1), corner(i + 1, j + 1),
                                              corner(i + 1, j)};
        std::vector<Corner> corners;
        std::vector<std::string> names;
        for (int s = 0; s < 4; ++s) {
            corners.push_back(grid[square[s]]);
            names.push_back(gridName[square[s]]);
            for (const auto& key : side(square[s], square[(s + 1) % 4])) {
                corners.push_back(grid[key]);
                names.push_back(gridName[key]);
            }
        }
        rows += detail::rowsOf("L" + std::to_string(p + 1), corners, names);
    }
    return rows;
}

} // namespace karumenio::layout::test

#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace karumenio::survey {

// The most bytes of one field of a points file that are kept; a longer field is kept cut and
// marked, which no coordinate survives, so that a file of one huge field needs no copy of it.
inline constexpr std::size_t kLongestField = 4096;

// The worksheet columns a points file fills, in this order: A, B, C, D, G, H and I. The last
// two, the boundary mark's kind (境界標) and the point's class (種別), follow the radius, as the
// sixth and seventh fields of a row.
enum class Role : int { Mark, Name, X, Y, Radius, MarkKind, PointClass };
inline constexpr int kRoleCount = 7;

// One worksheet row read from a points file. A field that is absent leaves the radius cell
// to the template's chain; absent A to D fields are written empty.
struct PointRow {
    std::array<std::optional<std::string>, kRoleCount> fields;

    std::optional<std::string>& operator[](Role role) { return fields[static_cast<int>(role)]; }
    const std::optional<std::string>& operator[](Role role) const {
        return fields[static_cast<int>(role)];
    }
};

// What a points file turns into: the rows for the worksheet from A6 down, and what the
// surveyor should hear about without the file being refused.
struct PointRows {
    std::vector<PointRow> rows;
    // A table of marks: rows of a point name with its boundary mark's kind or its class and no
    // coordinates, which go to the points of those names already on the sheet.
    bool marksOnly = false;
    std::vector<std::string> warnings;
    // Rows the file makes beyond those kept: a reader keeps no more than the worksheet holds.
    std::size_t rowsNotKept = 0;
    // True when the reader stopped counting as well, rows and rowsNotKept being the least the
    // file makes.
    bool countIsLeast = false;

    std::size_t rowCount() const { return rows.size() + rowsNotKept; }
};

} // namespace karumenio::survey

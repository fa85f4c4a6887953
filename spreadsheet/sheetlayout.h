#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace karumenio::spreadsheet {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class HorizontalAlignment { General, Left, Centre, Right };
enum class VerticalAlignment { Top, Centre, Bottom };

// A block of cells, 1-based and inclusive at both ends.
struct CellRange {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    bool contains(int row, int column) const {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

inline constexpr const char* kGeneralFormat = "General";

struct CellStyle {
    std::string fontFamily = "ＭＳ Ｐゴシック";
    double pointSize = 11.0;
    bool bold = false;
    Rgb colour;
    HorizontalAlignment horizontal = HorizontalAlignment::General;
    VerticalAlignment vertical = VerticalAlignment::Bottom;
    std::string numberFormat = kGeneralFormat;

    friend bool operator==(const CellStyle&, const CellStyle&) = default;
};

struct StyledRange {
    CellRange range;
    CellStyle style;
};

// A note attached to a cell, hidden until the pointer rests on the cell.
struct CellComment {
    int row = 1;
    int column = 1;
    std::string text;
    double pointSize = 9.0;
    bool bold = true;
};

// A rectangle drawn over exactly one cell, moving and sizing with it, carrying a heading.
struct HeadingShape {
    int row = 1;
    int column = 1;
    std::string text;
    std::string fontFamily;
    double pointSize = 12.0;
    // The fill shades from the edge colour at top and bottom to the middle colour.
    Rgb fillEdge;
    Rgb fillMiddle;
    Rgb outline;
};

// Everything about a worksheet that is not cell content: sizes, visibility, looks and view.
struct SheetLayout {
    std::string defaultFontFamily = "ＭＳ Ｐゴシック";
    double defaultPointSize = 11.0;
    // In character widths of the default font.
    double defaultColumnWidth = 8.0;
    // In twips.
    int defaultRowHeight = 270;

    std::map<int, double> columnWidths;
    std::map<int, int> rowHeights;
    // Hidden columns as ranges of column numbers, first to last inclusive.
    std::vector<std::pair<int, int>> hiddenColumns;
    std::vector<CellRange> mergedRanges;
    // Later entries win over earlier ones where they overlap.
    std::vector<StyledRange> styles;
    std::vector<CellComment> comments;
    std::vector<HeadingShape> headingShapes;

    bool gridlinesShown = true;
    bool headingsShown = true;
    bool zeroValuesShown = true;
    CellRange selection{1, 1, 1, 1};

    // The width the column has when shown; whether it is shown is isColumnHidden().
    double columnWidth(int column) const {
        const auto it = columnWidths.find(column);
        return it == columnWidths.end() ? defaultColumnWidth : it->second;
    }

    int rowHeight(int row) const {
        const auto it = rowHeights.find(row);
        return it == rowHeights.end() ? defaultRowHeight : it->second;
    }

    bool isColumnHidden(int column) const {
        for (const auto& [first, last] : hiddenColumns) {
            if (column >= first && column <= last) {
                return true;
            }
        }
        return false;
    }

    // The last of the sheet's columns that a user sees; 0 when none shows.
    int lastShownColumn(int columnCount) const {
        for (int column = columnCount; column >= 1; --column) {
            if (!isColumnHidden(column) && columnWidth(column) > 0) {
                return column;
            }
        }
        return 0;
    }

    CellStyle style(int row, int column) const {
        for (auto it = styles.rbegin(); it != styles.rend(); ++it) {
            if (it->range.contains(row, column)) {
                return it->style;
            }
        }
        CellStyle plain;
        plain.fontFamily = defaultFontFamily;
        plain.pointSize = defaultPointSize;
        return plain;
    }

    // The number format alone, without copying the whole style.
    const std::string& numberFormat(int row, int column) const {
        static const std::string general = kGeneralFormat;
        for (auto it = styles.rbegin(); it != styles.rend(); ++it) {
            if (it->range.contains(row, column)) {
                return it->style.numberFormat;
            }
        }
        return general;
    }

    std::optional<CellRange> mergedRange(int row, int column) const {
        for (const CellRange& range : mergedRanges) {
            if (range.contains(row, column)) {
                return range;
            }
        }
        return std::nullopt;
    }

    const CellComment* comment(int row, int column) const {
        for (const CellComment& c : comments) {
            if (c.row == row && c.column == column) {
                return &c;
            }
        }
        return nullptr;
    }
};

} // namespace karumenio::spreadsheet

#include "areacsv.h"
#include "mapdrawing.h"
#include "millimetres.h"
#include "parcelarea.h"

#include "plan/plan.h"

#include <algorithm>
#include <array>

namespace karumenio::parcel {

namespace {

constexpr std::size_t kColumns = 6;
// Room between a cell's text and its lines, on the paper.
constexpr double kCellPadding = 1.0;

using Cells = std::array<std::string, kColumns>;

// The cells of the table: the CSV's header and rows, the parcel's name on its first row only.
std::vector<Cells> tableCells(const plan::Plan& plan, const std::vector<ParcelArea>& areas) {
    std::vector<Cells> rows;
    Cells& header = rows.emplace_back();
    std::copy(kAreaTableColumns.begin(), kAreaTableColumns.end(), header.begin());
    for (const ParcelArea& area : areas) {
        bool first = true;
        for (const AreaRow& row : area.rows) {
            rows.push_back({first ? area.name : std::string(),
                            plan.points[static_cast<std::size_t>(row.vertex.slot)].label,
                            metresText(row.vertex.x), metresText(row.vertex.y),
                            metresText(row.yDifference), row.term.fixedPoint(6)});
            first = false;
        }
        for (const ParcelArea::Total& total : area.totals()) {
            rows.push_back({"", std::string(total.name), "", "", "", total.value});
        }
    }
    return rows;
}

} // namespace

Box drawAreaTable(MapDrawing& drawing, const std::vector<ParcelArea>& areas) {
    const std::vector<Cells> rows = tableCells(drawing.plan(), areas);
    const double unit = drawing.unit();
    std::array<double, kColumns> widths{};
    for (const Cells& row : rows) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c],
                                 MapDrawing::estimatedWidth(drawingText(row[c]), kTableTextHeight) +
                                     2 * kCellPadding);
        }
    }
    double width = 0;
    for (const double w : widths) {
        width += w;
    }
    const double height = kTableRowHeight * static_cast<double>(rows.size());
    const Box& inner = drawing.innerFrame();
    const double right = inner.maxX;
    const double left = right - width * unit;
    const double top = inner.maxY;
    const double bottom = top - height * unit;

    // The grid: a line under every row and the column lines, the outline included.
    for (std::size_t r = 0; r <= rows.size(); ++r) {
        const double y = top - kTableRowHeight * static_cast<double>(r) * unit;
        drawing.line(MapLayerId::AreaTable, {{left, y}, {right, y}});
    }
    double x = left;
    for (std::size_t c = 0; c <= kColumns; ++c) {
        drawing.line(MapLayerId::AreaTable, {{x, top}, {x, bottom}});
        x += c < kColumns ? widths[c] * unit : 0.0;
    }

    // Names to the left, numbers to the right, headings centred.
    const double baseline = (kTableRowHeight - kTableTextHeight) / 2 * unit;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const double y = top - kTableRowHeight * static_cast<double>(r + 1) * unit + baseline;
        double cellLeft = left;
        for (std::size_t c = 0; c < kColumns; ++c) {
            const double cellRight = cellLeft + widths[c] * unit;
            if (r == 0) {
                drawing.text(MapLayerId::AreaTable, rows[r][c], {(cellLeft + cellRight) / 2, y},
                             kTableTextHeight, 0.0, TextAlignment::BottomCentre);
            } else if (c < 2) {
                drawing.text(MapLayerId::AreaTable, rows[r][c], {cellLeft + kCellPadding * unit, y},
                             kTableTextHeight, 0.0, TextAlignment::BottomLeft);
            } else {
                drawing.text(MapLayerId::AreaTable, rows[r][c],
                             {cellRight - kCellPadding * unit, y}, kTableTextHeight, 0.0,
                             TextAlignment::BottomRight);
            }
            cellLeft = cellRight;
        }
    }
    Box box;
    box.add({left, bottom});
    box.add({right, top});
    return box;
}

} // namespace karumenio::parcel

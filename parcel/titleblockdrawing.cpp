#include "mapdrawing.h"

#include <algorithm>

namespace karumenio::parcel {

namespace {

constexpr double kCellPadding = 1.5;
// The value column is never narrower than this, so that an empty block can be filled in.
constexpr double kLeastValueWidth = 60.0;
constexpr std::string_view kHeading = "地積測量図";

} // namespace

Box drawTitleBlock(MapDrawing& drawing, const std::vector<TitleRow>& rows) {
    const double unit = drawing.unit();
    double labelWidth = 0;
    double valueWidth = kLeastValueWidth;
    for (const TitleRow& row : rows) {
        labelWidth = std::max(labelWidth, MapDrawing::estimatedWidth(row.label, kTitleTextHeight));
        valueWidth = std::max(valueWidth,
                              MapDrawing::estimatedWidth(drawingText(row.value), kTitleTextHeight));
    }
    labelWidth += 2 * kCellPadding;
    valueWidth += 2 * kCellPadding;
    const double width = labelWidth + valueWidth;
    const double height = kHeadingRowHeight + kTitleRowHeight * static_cast<double>(rows.size());

    const Box& inner = drawing.innerFrame();
    const double right = inner.maxX;
    const double left = right - width * unit;
    const double bottom = inner.minY;
    const double top = bottom + height * unit;
    const double divider = left + labelWidth * unit;
    const double headingBottom = top - kHeadingRowHeight * unit;

    drawing.line(MapLayerId::AreaTable, {{left, top}, {right, top}});
    for (std::size_t r = 0; r <= rows.size(); ++r) {
        const double y = headingBottom - kTitleRowHeight * static_cast<double>(r) * unit;
        drawing.line(MapLayerId::AreaTable, {{left, y}, {right, y}});
    }
    drawing.line(MapLayerId::AreaTable, {{left, top}, {left, bottom}});
    drawing.line(MapLayerId::AreaTable, {{divider, headingBottom}, {divider, bottom}});
    drawing.line(MapLayerId::AreaTable, {{right, top}, {right, bottom}});

    drawing.text(
        MapLayerId::AreaTable, kHeading,
        {(left + right) / 2, headingBottom + (kHeadingRowHeight - kHeadingTextHeight) / 2 * unit},
        kHeadingTextHeight, 0.0, TextAlignment::BottomCentre);
    const double baseline = (kTitleRowHeight - kTitleTextHeight) / 2 * unit;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const double y =
            headingBottom - kTitleRowHeight * static_cast<double>(r + 1) * unit + baseline;
        drawing.text(MapLayerId::AreaTable, rows[r].label, {left + kCellPadding * unit, y},
                     kTitleTextHeight, 0.0, TextAlignment::BottomLeft);
        drawing.text(MapLayerId::AreaTable, rows[r].value, {divider + kCellPadding * unit, y},
                     kTitleTextHeight, 0.0, TextAlignment::BottomLeft);
    }
    Box box;
    box.add({left, bottom});
    box.add({right, top});
    return box;
}

} // namespace karumenio::parcel

#include "titleblocklayout.h"

#include <algorithm>

namespace karumenio::layout {

namespace {

constexpr double kCellPadding = 1.5;
// The value column is never narrower than this, so that an empty block can be filled in.
constexpr double kLeastValueWidth = 60.0;
constexpr double kHeadingRowHeight = 8.0;
constexpr double kFieldRowHeight = 5.0;
// The widest number a sheet is likely to carry, for the block's width.
constexpr std::string_view kWidestSheetNumber = "99枚のうち99枚目";

std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return std::min(length, text.size() - at);
}

// The text cut into lines no wider than width, each after its last 「、」 or blank that
// keeps it within the width, else where the width ends.
std::vector<std::string> wrapped(const std::string& text, double width, double height) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        std::size_t lastBreak = std::string::npos;
        while (end < text.size()) {
            const std::size_t next = end + characterLength(text, end);
            if (end > start &&
                textWidth(std::string_view(text).substr(start, next - start), height) > width) {
                break;
            }
            const std::string_view character = std::string_view(text).substr(end, next - end);
            end = next;
            if (character == "、" || character == " ") {
                lastBreak = end;
            }
        }
        if (end < text.size() && lastBreak != std::string::npos) {
            end = lastBreak;
        }
        std::string line = drawingText(std::string_view(text).substr(start, end - start));
        lines.push_back(std::move(line));
        start = end;
    }
    if (lines.empty()) {
        lines.emplace_back();
    }
    return lines;
}

} // namespace

TitleBlockMeasure measureTitleBlock(const TitleBlock& block, double widestValue) {
    const double height = textHeight(TextRole::TitleField);
    TitleBlockMeasure measure;
    double valueWidth = kLeastValueWidth;
    for (const TitleField& field : block.fields) {
        measure.labelWidth = std::max(measure.labelWidth, textWidth(field.label, height));
        measure.valueLines.push_back(wrapped(drawingText(field.value), widestValue, height));
        if (measure.valueLines.back().size() > kTitleFieldLines && !field.shortened.empty()) {
            measure.valueLines.back() = wrapped(drawingText(field.shortened), widestValue, height);
        }
        for (const std::string& line : measure.valueLines.back()) {
            valueWidth = std::max(valueWidth, textWidth(line, height));
        }
    }
    measure.labelWidth += 2 * kCellPadding;
    measure.valueWidth = valueWidth + 2 * kCellPadding;
    measure.width = std::max(measure.labelWidth + measure.valueWidth,
                             textWidth(block.heading, textHeight(TextRole::Heading)) +
                                 textWidth(kWidestSheetNumber, textHeight(TextRole::SheetNumber)) +
                                 4 * kCellPadding);
    measure.valueWidth = measure.width - measure.labelWidth;
    std::size_t lines = 0;
    for (const auto& value : measure.valueLines) {
        lines += value.size();
    }
    measure.height = kHeadingRowHeight + kFieldRowHeight * static_cast<double>(lines);
    return measure;
}

Box drawTitleBlock(SheetBuilder& sheet, const TitleBlock& block, const TitleBlockMeasure& measure,
                   Point lowerRight, const std::string& sheetNumber) {
    const double right = lowerRight.x;
    const double left = right - measure.width;
    const double bottom = lowerRight.y;
    const double top = bottom + measure.height;
    const double divider = left + measure.labelWidth;
    const double headingBottom = top - kHeadingRowHeight;
    const Box box = Box::of({left, bottom}, {right, top});
    sheet.reserve(box);

    sheet.line(LayerId::Tables, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, true,
               false);
    // The heading at the left of its row, the sheet's number at the right.
    const double heading = textHeight(TextRole::Heading);
    sheet.add(makeText(LayerId::Tables, TextRole::Heading, block.heading,
                       {left + 2 * kCellPadding,
                        headingBottom + (kHeadingRowHeight - (1 - kDescent) * heading) / 2},
                       0.0, Alignment::BottomLeft));
    sheet.add(makeText(LayerId::Tables, TextRole::SheetNumber, sheetNumber,
                       {right - kCellPadding, headingBottom + kCellPadding}, 0.0,
                       Alignment::BottomRight));

    const double field = textHeight(TextRole::TitleField);
    const double baseline = (kFieldRowHeight - (1 - kDescent) * field) / 2;
    double y = headingBottom;
    for (std::size_t f = 0; f < block.fields.size(); ++f) {
        sheet.line(LayerId::Tables, {{left, y}, {right, y}}, false, false);
        const std::vector<std::string>& lines = measure.valueLines[f];
        const double rowTop = y;
        for (std::size_t l = 0; l < lines.size(); ++l) {
            y -= kFieldRowHeight;
            if (l == 0) {
                sheet.add(makeText(LayerId::Tables, TextRole::TitleField, block.fields[f].label,
                                   {left + kCellPadding, y + baseline}, 0.0,
                                   Alignment::BottomLeft));
            }
            sheet.add(makeText(LayerId::Tables, TextRole::TitleField, lines[l],
                               {divider + kCellPadding, y + baseline}, 0.0, Alignment::BottomLeft));
        }
        sheet.line(LayerId::Tables, {{divider, rowTop}, {divider, y}}, false, false);
    }
    return box;
}

} // namespace karumenio::layout

#include "sheetbuilder.h"

namespace karumenio::layout {

Text makeText(LayerId layer, TextRole role, std::string_view text, Point at, double rotation,
              Alignment alignment, int slot) {
    Text t;
    t.layer = layer;
    t.role = role;
    t.text = drawingText(text);
    t.at = at;
    t.height = textHeight(role);
    t.rotation = rotation;
    t.alignment = alignment;
    t.slot = slot;
    const double width = textWidth(t.text, t.height);
    const Point along = directionOf(rotation);
    const double start = alignment == Alignment::BottomLeft     ? 0.0
                         : alignment == Alignment::BottomCentre ? -width / 2
                                                                : -width;
    const double descent = textDescent(t.text);
    const Point corner = at + along * start - leftOf(along) * (descent * t.height);
    t.box = Quad::along(corner, along, width, (1 + descent) * t.height);
    return t;
}

SheetBuilder::SheetBuilder(Sheet& sheet) : m_sheet(sheet), m_obstacles(sheet.outer) {}

bool SheetBuilder::isFree(const Quad& box) const {
    return m_sheet.inner.contains(box.bounds()) && m_obstacles.isFree(box);
}

void SheetBuilder::add(Text text) {
    if (text.text.empty()) {
        return;
    }
    m_obstacles.add(text.box);
    m_sheet.texts.push_back(std::move(text));
}

void SheetBuilder::line(LayerId layer, std::vector<Point> vertices, bool closed, bool obstacle) {
    if (obstacle) {
        for (std::size_t i = 1; i < vertices.size(); ++i) {
            m_obstacles.add(vertices[i - 1], vertices[i]);
        }
        if (closed && vertices.size() > 2) {
            m_obstacles.add(vertices.back(), vertices.front());
        }
    }
    m_sheet.lines.push_back({layer, std::move(vertices), closed});
}

void SheetBuilder::reserve(const Box& box) {
    m_obstacles.add(Quad::of(box));
}

void SheetBuilder::reserve(const Quad& box) {
    m_obstacles.add(box);
}

SheetBuilder::Mark SheetBuilder::mark() const {
    return {m_sheet.texts.size(), m_sheet.lines.size(), m_sheet.circles.size(), m_obstacles.size()};
}

void SheetBuilder::rollBack(const Mark& mark) {
    m_sheet.texts.resize(mark.texts);
    m_sheet.lines.resize(mark.lines);
    m_sheet.circles.resize(mark.circles);
    m_obstacles.truncate(mark.obstacles);
}

void SheetBuilder::reserve(Point a, Point b) {
    m_obstacles.add(a, b);
}

} // namespace karumenio::layout

#include "mapdrawing.h"

#include "plan/plan.h"
#include "plan/textcolumns.h"
#include "numeric/trig.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace karumenio::parcel {

void Box::add(plan::WorldPoint p) {
    if (empty) {
        minX = maxX = p.x;
        minY = maxY = p.y;
        empty = false;
        return;
    }
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

void Box::include(const Box& other) {
    if (!other.empty) {
        add({other.minX, other.minY});
        add({other.maxX, other.maxY});
    }
}

bool Box::overlaps(const Box& other) const {
    return !empty && !other.empty && minX < other.maxX && other.minX < maxX && minY < other.maxY &&
           other.minY < maxY;
}

MapDrawing::MapDrawing(const plan::Plan& plan, SurveyMap& map)
    : m_plan(plan), m_map(map), m_unit(plan.scaleFactor) {
    for (const plan::WorldPoint& corner : plan.frameRectangles[2].vertices) {
        m_inner.add(corner);
    }
}

void MapDrawing::line(MapLayerId layer, std::vector<plan::WorldPoint> vertices) {
    m_map.lines.push_back({layer, std::move(vertices)});
}

Box MapDrawing::text(MapLayerId layer, std::string_view text, plan::WorldPoint at, double heightMm,
                     double rotation, TextAlignment alignment) {
    std::string oneLine = drawingText(text);
    if (oneLine.empty()) {
        return {};
    }
    const double height = heightMm * m_unit;
    const double width = estimatedWidth(oneLine, height);
    // The box's corners along the baseline direction and its upward normal.
    const double radians = rotation * std::numbers::pi / 180;
    const double c = rotation == 0 ? 1.0 : numeric::cos(radians);
    const double s = rotation == 0 ? 0.0 : numeric::sin(radians);
    const double start = alignment == TextAlignment::BottomLeft     ? 0.0
                         : alignment == TextAlignment::BottomCentre ? -width / 2
                                                                    : -width;
    Box box;
    for (const double along : {start, start + width}) {
        for (const double up : {0.0, height}) {
            box.add({at.x + along * c - up * s, at.y + along * s + up * c});
        }
    }
    m_map.texts.push_back({layer, std::move(oneLine), at, height, rotation, alignment});
    return box;
}

double MapDrawing::estimatedWidth(std::string_view text, double height) {
    const plan::TextColumns columns = plan::textColumns(text);
    return (0.85 * columns.halfWidth + 1.05 * columns.fullWidth) * height;
}

std::string drawingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += c < 0x20 || c == 0x7f ? ' ' : text[i];
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

} // namespace karumenio::parcel

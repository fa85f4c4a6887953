#pragma once

#include <array>
#include <string_view>

namespace karumenio::layout {

// How a line of the drawing is drawn. A broken style is laid out as its dashes, so that every
// writer draws plain lines and every front end shows the same pattern.
enum class LineStyleId { Continuous, Dashed, DashDotted };

struct LineStyle {
    LineStyleId id;
    std::string_view name;
    // Millimetres on the paper: dash, gap, dash, gap…; 0 ends the pattern. Empty: continuous.
    std::array<double, 4> pattern;
};

inline constexpr std::array<LineStyle, 3> kLineStyles{{
    {LineStyleId::Continuous, "実線", {}},
    {LineStyleId::Dashed, "破線", {3.0, 1.5, 0.0, 0.0}},
    {LineStyleId::DashDotted, "一点鎖線", {6.0, 1.0, 0.5, 1.0}},
}};

constexpr const LineStyle& lineStyle(LineStyleId id) {
    return kLineStyles[static_cast<std::size_t>(id)];
}

} // namespace karumenio::layout

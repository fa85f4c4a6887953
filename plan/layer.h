#pragma once

#include <array>
#include <string_view>

namespace karumenio::plan {

// The four layers of a plan, in the order the scripts make them.
enum class LayerId { Frame, Line, Plot, Text };

struct Layer {
    LayerId id;
    std::string_view name;
    // Colour number of the drawing programs' standard palette.
    int colour;
};

inline constexpr std::array<Layer, 4> kLayers{{
    {LayerId::Frame, "P_WAKU", 7},
    {LayerId::Line, "P_LINE", 2},
    {LayerId::Plot, "P_PROT", 3},
    {LayerId::Text, "P_MOJI", 4},
}};

constexpr const Layer& layer(LayerId id) {
    return kLayers[static_cast<std::size_t>(id)];
}

} // namespace karumenio::plan

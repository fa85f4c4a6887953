#pragma once

#include <array>
#include <string_view>

namespace karumenio::layout {

// The layers a survey map is drawn on. The map draws everything it shows itself, at its own
// places on its own sheets, so the plan's four layers are hidden wherever the map is drawn.
enum class LayerId { Frame, Boundary, Marks, Names, Lengths, Tables };

struct SheetLayer {
    LayerId id;
    std::string_view name;
    // Colour number of the drawing programs' standard palette.
    int colour;
};

inline constexpr std::array<SheetLayer, 6> kSheetLayers{{
    {LayerId::Frame, "P_ZUWAKU", 7},
    {LayerId::Boundary, "P_HIKKAI", 2},
    {LayerId::Marks, "P_KIGOU", 3},
    {LayerId::Names, "P_TENMEI", 4},
    {LayerId::Lengths, "P_HENCHO", 1},
    {LayerId::Tables, "P_KYUSEKI", 7},
}};

constexpr const SheetLayer& sheetLayer(LayerId id) {
    return kSheetLayers[static_cast<std::size_t>(id)];
}

} // namespace karumenio::layout

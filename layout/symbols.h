#pragma once

#include "geometry.h"

#include <array>
#include <string_view>

namespace karumenio::layout {

struct Sheet;

// The symbols drawn at the drawing's points. A new kind is a row here and the function that
// draws it.
enum class SymbolId { BoundaryPoint };

struct Symbol {
    SymbolId id;
    std::string_view name;
    // Millimetres: the symbol lies within this distance of its point, which names and lengths
    // keep clear of.
    double radius;
    // Adds its lines and circles to the sheet about the point.
    void (*draw)(Sheet& sheet, Point at);
};

void drawBoundaryPoint(Sheet& sheet, Point at);

inline constexpr std::array<Symbol, 1> kSymbols{{
    {SymbolId::BoundaryPoint, "筆界点", 0.6, drawBoundaryPoint},
}};

constexpr const Symbol& symbol(SymbolId id) {
    return kSymbols[static_cast<std::size_t>(id)];
}

} // namespace karumenio::layout

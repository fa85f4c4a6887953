#pragma once

#include "geometry.h"

#include <array>
#include <string_view>

namespace karumenio::layout {

struct Sheet;

// The symbols drawn at the drawing's points and in the tables that explain them. A new kind is
// a row here and the function that draws it; each shape differs from every other at print
// size, so that a legend can tell them apart.
enum class SymbolId {
    BoundaryPoint,
    Square,
    CrossedSquare,
    DoubleCircle,
    CrossedCircle,
    DottedCircle,
    Triangle,
    Diamond,
    Cross,
    Asterisk,
    DottedSquare,
    DottedTriangle,
};

struct Symbol {
    SymbolId id;
    // The name a table's cell gives it (TableColumn::symbols).
    std::string_view name;
    // Millimetres: the symbol lies within this distance of its point, which names and lengths
    // keep clear of.
    double radius;
    // Adds its lines and circles to the sheet about the point.
    void (*draw)(Sheet& sheet, Point at);
};

void drawBoundaryPoint(Sheet& sheet, Point at);
void drawSquare(Sheet& sheet, Point at);
void drawCrossedSquare(Sheet& sheet, Point at);
void drawDoubleCircle(Sheet& sheet, Point at);
void drawCrossedCircle(Sheet& sheet, Point at);
void drawDottedCircle(Sheet& sheet, Point at);
void drawTriangle(Sheet& sheet, Point at);
void drawDiamond(Sheet& sheet, Point at);
void drawCross(Sheet& sheet, Point at);
void drawAsterisk(Sheet& sheet, Point at);
void drawDottedSquare(Sheet& sheet, Point at);
void drawDottedTriangle(Sheet& sheet, Point at);

inline constexpr std::array<Symbol, 12> kSymbols{{
    {SymbolId::BoundaryPoint, "筆界点", 0.6, drawBoundaryPoint},
    {SymbolId::Square, "四角", 1.42, drawSquare},
    {SymbolId::CrossedSquare, "斜線入り四角", 1.42, drawCrossedSquare},
    {SymbolId::DoubleCircle, "二重丸", 1.2, drawDoubleCircle},
    {SymbolId::CrossedCircle, "十字入り丸", 1.2, drawCrossedCircle},
    {SymbolId::DottedCircle, "点入り丸", 1.2, drawDottedCircle},
    {SymbolId::Triangle, "三角", 1.4, drawTriangle},
    {SymbolId::Diamond, "ひし形", 1.4, drawDiamond},
    {SymbolId::Cross, "斜め十字", 1.42, drawCross},
    {SymbolId::Asterisk, "米印", 1.3, drawAsterisk},
    {SymbolId::DottedSquare, "点入り四角", 1.42, drawDottedSquare},
    {SymbolId::DottedTriangle, "点入り三角", 1.4, drawDottedTriangle},
}};

constexpr const Symbol& symbol(SymbolId id) {
    return kSymbols[static_cast<std::size_t>(id)];
}

// The symbol of that name; nullptr for none.
const Symbol* findSymbol(std::string_view name);

} // namespace karumenio::layout

#include "symbols.h"

#include "sheetlayout.h"

namespace karumenio::layout {

void drawBoundaryPoint(Sheet& sheet, Point at) {
    sheet.circles.push_back({LayerId::Marks, at, symbol(SymbolId::BoundaryPoint).radius});
}

} // namespace karumenio::layout

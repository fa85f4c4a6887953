#pragma once

#include "pieces.h"
#include "sheetbuilder.h"

#include <string>
#include <vector>

namespace karumenio::layout {

// The title block's columns and each field's value cut into lines that fit its column.
struct TitleBlockMeasure {
    double labelWidth = 0.0;
    double valueWidth = 0.0;
    std::vector<std::vector<std::string>> valueLines;
    double width = 0.0;
    double height = 0.0;
};

// Values wider than widestValue (millimetres) are wrapped, after a 「、」 or a blank where
// there is one.
TitleBlockMeasure measureTitleBlock(const TitleBlock& block, double widestValue);

// Draws the block with its lower right corner at the point: the heading, the sheet's number,
// the fields; keeps its box clear and returns it.
Box drawTitleBlock(SheetBuilder& sheet, const TitleBlock& block, const TitleBlockMeasure& measure,
                   Point lowerRight, const std::string& sheetNumber);

} // namespace karumenio::layout

#include "extentcells.h"

#include "points/messagetext.h"
#include "points/runtimeerror.h"
#include "points/worksheet.h"

namespace karumenio::job {

namespace {

double extentCell(const points::Worksheet& sheet, int row, int column) {
    const points::CellValue& value = sheet.value(row, column);
    try {
        return value.toNumber();
    } catch (const points::RunTimeError&) {
        const std::string cell = points::cellName(row, column);
        throw points::RunTimeError(points::RunError::TypeMismatch,
                                   "型が一致しません: セル " + cell + " の「" +
                                       points::quotedInMessage(value.textForm()) +
                                       "」は数値として読めません。座標の最大値・最小値の計算式を"
                                       "確かめて下さい。",
                                   cell);
    }
}

} // namespace

plan::Extent readExtent(const points::Worksheet& dataSheet) {
    plan::Extent extent;
    extent.maxX = extentCell(dataSheet, kExtentMaxRow, kExtentFirstColumn);
    extent.minX = extentCell(dataSheet, kExtentMinRow, kExtentFirstColumn);
    extent.maxY = extentCell(dataSheet, kExtentMaxRow, kExtentSecondColumn);
    extent.minY = extentCell(dataSheet, kExtentMinRow, kExtentSecondColumn);
    return extent;
}

} // namespace karumenio::job

#include "extentcells.h"

#include "spreadsheet/messagetext.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

namespace karumenio::job {

namespace {

double extentCell(const spreadsheet::Worksheet& sheet, int row, int column) {
    const spreadsheet::CellValue& value = sheet.value(row, column);
    try {
        return value.toNumber();
    } catch (const spreadsheet::RunTimeError&) {
        const std::string cell = spreadsheet::cellName(row, column);
        throw spreadsheet::RunTimeError(
            spreadsheet::RunError::TypeMismatch,
            "型が一致しません: セル " + cell + " の「" +
                spreadsheet::quotedInMessage(value.textForm()) +
                "」は数値として読めません。座標の最大値・最小値の計算式を"
                "確かめて下さい。",
            cell);
    }
}

} // namespace

plan::Extent readExtent(const spreadsheet::Worksheet& dataSheet) {
    plan::Extent extent;
    extent.maxX = extentCell(dataSheet, kExtentMaxRow, kExtentFirstColumn);
    extent.minX = extentCell(dataSheet, kExtentMinRow, kExtentFirstColumn);
    extent.maxY = extentCell(dataSheet, kExtentMaxRow, kExtentSecondColumn);
    extent.minY = extentCell(dataSheet, kExtentMinRow, kExtentSecondColumn);
    return extent;
}

} // namespace karumenio::job

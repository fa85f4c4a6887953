#include "extentcells.h"

#include "points/pointtable.h"
#include "spreadsheet/messagetext.h"
#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/worksheet.h"

#include <optional>
#include <utility>

namespace karumenio::job {

namespace {

// The first coordinate of the data column that an extent cell's error value comes from: the
// surveyor typed there, and never sees the hidden extent cells.
std::optional<std::pair<int, int>> erroneousCoordinate(const spreadsheet::Worksheet& sheet,
                                                       int extentColumn) {
    const int column =
        extentColumn == kExtentFirstColumn ? points::kPointXColumn : points::kPointYColumn;
    const int last = sheet.lastUsedRow();
    for (int row = points::kFirstDataRow; row <= last; ++row) {
        if (sheet.value(row, column).isError()) {
            return std::pair{row, column};
        }
    }
    return std::nullopt;
}

double extentCell(const spreadsheet::Worksheet& sheet, int row, int column) {
    const spreadsheet::CellValue& value = sheet.value(row, column);
    try {
        return value.toNumber();
    } catch (const spreadsheet::RunTimeError&) {
        if (const auto source =
                value.isError() ? erroneousCoordinate(sheet, column) : std::nullopt) {
            const spreadsheet::CellValue& typed = sheet.value(source->first, source->second);
            const std::string cell = spreadsheet::cellName(source->first, source->second);
            throw spreadsheet::RunTimeError(spreadsheet::RunError::TypeMismatch,
                                            "型が一致しません: セル " + cell + " の「" +
                                                spreadsheet::quotedInMessage(typed.textForm()) +
                                                "」は座標として読めません。",
                                            cell);
        }
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

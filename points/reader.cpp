#include "reader.h"

#include "spreadsheet/runtimeerror.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/worksheet.h"

namespace karumenio::points {

namespace {

constexpr double kRadiusColumn = kMarkRadiusColumn;

} // namespace

spreadsheet::Worksheet& readPoints(spreadsheet::Workbook& book, PointTable& table,
                                   const ReadProgress& progress) {
    spreadsheet::Worksheet& sheet = book.worksheets(kDataSheetName);

    int count = 0;
    for (int row = kFirstDataRow; !sheet.value(row, kPointXColumn).equalsEmptyText(); ++row) {
        ++count;
    }
    // Refused before anything is stored, so that an oversized sheet cannot leave a table that
    // is half the new read and half the old one.
    if (count > kSlotCount) {
        const int firstExtraRow = kFirstDataRow + kSlotCount;
        throw spreadsheet::RunTimeError(
            spreadsheet::RunError::SubscriptOutOfRange,
            "インデックスが有効範囲にありません: 読み込めるのは " + std::to_string(kSlotCount) +
                " 点 (行 6 から行 3006) までですが、" + std::to_string(count) +
                " 行のデータが見つかりました。何も読み込んでいません。",
            spreadsheet::cellName(firstExtraRow, kPointXColumn));
    }

    table.radiusColumn = kRadiusColumn;
    table.pointIndex.reset();
    table.pointCount = spreadsheet::CellValue::number(count);
    const int radiusColumn = static_cast<int>(table.radiusColumn);
    const auto maximum = static_cast<float>(count);
    int row = kFirstDataRow;
    for (int copied = 0; copied != count; ++copied) {
        const int slot = table.pointIndex.value();
        table.pointX.at(slot) = sheet.value(row, kPointXColumn);
        table.pointY.at(slot) = sheet.value(row, kPointYColumn);
        table.markRadius.at(slot) = sheet.value(row, radiusColumn);
        table.breakMark.at(slot) = sheet.value(row, kBreakMarkColumn);
        table.labelText.at(slot) = sheet.value(row, kLabelTextColumn);
        table.boundaryMark.at(slot) = sheet.value(row, kBoundaryMarkColumn);
        table.pointClass.at(slot) = sheet.value(row, kPointClassColumn);
        if (progress) {
            progress(0.0f, maximum, static_cast<float>(copied));
        }
        ++row;
        table.pointIndex.step();
    }
    return sheet;
}

std::string readMessage(int count) {
    return "座標読込完了　" + spreadsheet::CellValue::number(count).joinForm() + "　データ";
}

int ReadSummary::endRow() const {
    return kFirstDataRow + count;
}

std::string ReadSummary::note() const {
    if (rowsNotRead == 0) {
        return {};
    }
    return std::to_string(endRow()) + " 行目の X 座標 (C 列) が空のため、そこで読込を終えました。" +
           "その下のデータのある " + std::to_string(rowsNotRead) +
           " 行は読み込んでいません。読み込むには空の行を詰めて下さい。";
}

std::string ReadSummary::message() const {
    const std::string below = note();
    return below.empty() ? readMessage(count) : readMessage(count) + "\n" + below;
}

ReadSummary summarizeRead(const spreadsheet::Worksheet& sheet, int count) {
    ReadSummary summary;
    summary.count = count;
    const int last = sheet.lastUsedRow();
    for (int row = summary.endRow() + 1; row <= last; ++row) {
        for (const int column : {kBreakMarkColumn, kLabelTextColumn, kPointXColumn, kPointYColumn,
                                 kMarkRadiusColumn, kBoundaryMarkColumn, kPointClassColumn}) {
            const spreadsheet::CellValue& value = sheet.value(row, column);
            if (!value.isEmpty() && !value.equalsEmptyText()) {
                ++summary.rowsNotRead;
                break;
            }
        }
    }
    return summary;
}

} // namespace karumenio::points

#include "inputtemplate.h"

#include "markkind.h"
#include "pointclass.h"
#include "pointtable.h"

#include <string>

namespace karumenio::points {

namespace {

constexpr spreadsheet::Rgb kBlue{0, 0, 255};
constexpr spreadsheet::Rgb kRed{255, 0, 0};
constexpr spreadsheet::Rgb kShapeEdge{94, 158, 255};
constexpr spreadsheet::Rgb kShapeMiddle{255, 235, 250};
constexpr spreadsheet::Rgb kShapeOutline{31, 27, 101};
constexpr const char* kRadiusFormat = "0.0_ ";
constexpr const char* kHeadingFont = "ＭＳ Ｐ明朝";
// 4000/256 character widths.
constexpr double kColumnWidth = 15.625;
constexpr int kLastShownColumn = kLastDataColumn;
// The columns of the original sheet end at G; title and notes stay merged over them.
constexpr int kLastRadiusColumn = kMarkRadiusColumn;

spreadsheet::CellStyle centred(const spreadsheet::SheetLayout& layout, double pointSize = 11.0) {
    spreadsheet::CellStyle style;
    style.fontFamily = layout.defaultFontFamily;
    style.pointSize = pointSize;
    style.horizontal = spreadsheet::HorizontalAlignment::Centre;
    return style;
}

void layOut(spreadsheet::SheetLayout& layout) {
    for (int column = 1; column <= kLastShownColumn; ++column) {
        layout.columnWidths[column] = kColumnWidth;
    }
    for (int column = kLastShownColumn + 1; column <= spreadsheet::Worksheet::kColumnCount;
         ++column) {
        layout.columnWidths[column] = 0.0;
    }
    // E and F hold the extents out of sight; nothing lies right of I.
    layout.hiddenColumns = {{5, 6}, {kLastShownColumn + 1, spreadsheet::Worksheet::kColumnCount}};
    layout.rowHeights[5] = 402;
    layout.gridlinesShown = true;
    layout.headingsShown = false;
    layout.zeroValuesShown = true;
    layout.selection = spreadsheet::CellRange{1, 1, 2, 7};
    layout.mergedRanges = {spreadsheet::CellRange{1, 1, 2, 7}, spreadsheet::CellRange{3, 1, 3, 7},
                           spreadsheet::CellRange{4, 1, 4, 7}};

    // Columns A to I: General (G: the radius format on its data rows), centred.
    layout.styles.push_back(
        {spreadsheet::CellRange{1, 1, spreadsheet::Worksheet::kRowCount, kLastRadiusColumn},
         centred(layout)});
    layout.styles.push_back(
        {spreadsheet::CellRange{1, kLastRadiusColumn + 1, spreadsheet::Worksheet::kRowCount,
                                kLastShownColumn},
         centred(layout)});

    spreadsheet::CellStyle title = centred(layout, 12.0);
    title.bold = true;
    title.vertical = spreadsheet::VerticalAlignment::Centre;
    layout.styles.push_back({spreadsheet::CellRange{1, 1, 2, 7}, title});

    spreadsheet::CellStyle note = centred(layout);
    note.colour = kBlue;
    note.vertical = spreadsheet::VerticalAlignment::Centre;
    layout.styles.push_back({spreadsheet::CellRange{3, 1, 4, 7}, note});

    spreadsheet::CellStyle radius = centred(layout);
    radius.numberFormat = kRadiusFormat;
    layout.styles.push_back({spreadsheet::CellRange{7, 7, kTemplateLastRow, 7}, radius});
    spreadsheet::CellStyle defaultRadius = radius;
    defaultRadius.colour = kRed;
    layout.styles.push_back({spreadsheet::CellRange{6, 7, 6, 7}, defaultRadius});

    layout.comments = {
        {6, 1, "空白以外の文字を入力します。\n例：K \n", 9.0, true},
        {6, 7,
         "ここの値を変更すると全ての値3000点分の半径を変更できます。\n"
         "個別に半径を変更することもできます。\n",
         9.0, true},
        {kFirstDataRow, kBoundaryMarkColumn,
         "境界標の種類: " + markKindList() + "\n（空欄は未記入）\n", 9.0, true},
        {kFirstDataRow, kPointClassColumn,
         "点の種別: " + pointClassList() + "\n（空欄は" + std::string(kPointClasses[0].text) +
             "）\n",
         9.0, true},
    };

    const std::pair<int, const char*> headings[] = {
        {1, "区　画"},
        {2, "測点名"},
        {3, "X 座標"},
        {4, "Y 座標"},
        {7, "Plot 半径"},
        {kBoundaryMarkColumn, "境界標"},
        {kPointClassColumn, "種別"},
    };
    for (const auto& [column, text] : headings) {
        layout.headingShapes.push_back(
            {5, column, text, kHeadingFont, 12.0, kShapeEdge, kShapeMiddle, kShapeOutline});
    }
}

} // namespace

spreadsheet::Workbook makeInputTemplate(TemplateValues values) {
    spreadsheet::Workbook book;
    spreadsheet::Worksheet& sheet = book.addSheet("Sheet1");
    layOut(sheet.layout());
    sheet.holdRecalculation();

    spreadsheet::EditRecord cells;
    auto put = [&cells](int row, int column, spreadsheet::CellContent content) {
        cells.push_back(spreadsheet::CellChange{row, column, {}, std::move(content)});
    };
    put(1, 1,
        spreadsheet::CellContent::value(
            spreadsheet::CellValue::text("座 標 値 の 貼 り 付 け は 3000 点 ま で")));
    put(3, 1,
        spreadsheet::CellContent::value(
            spreadsheet::CellValue::text("Plotの必要のない場合は半径を0（零）と入力して下さい")));
    put(4, 1,
        spreadsheet::CellContent::value(spreadsheet::CellValue::text(
            "計算式等が消えたりした時は" + std::string(kExecutableName) + "を終了して下さい")));
    put(6, 5, spreadsheet::CellContent::formulaText("=MAX(C6:C3006)"));
    put(6, 6, spreadsheet::CellContent::formulaText("=MAX(D6:D3006)"));
    put(7, 5, spreadsheet::CellContent::formulaText("=MIN(C6:C3006)"));
    put(7, 6, spreadsheet::CellContent::formulaText("=MIN(D6:D3006)"));
    put(6, 7, spreadsheet::CellContent::value(spreadsheet::CellValue::number(0.0)));
    sheet.apply(std::move(cells));
    // Each radius repeats the one above while the row has a first coordinate.
    sheet.fillFormulaDown(7, kTemplateLastRow, 7, "=IF(C7=\"\",\"\",G6)");
    if (values == TemplateValues::Calculated) {
        sheet.releaseRecalculation();
    }
    return book;
}

} // namespace karumenio::points

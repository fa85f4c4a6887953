#include "tableblock.h"

#include <algorithm>

namespace karumenio::layout {

namespace {

// Room between a cell's text and its lines.
constexpr double kCellPadding = 1.0;
constexpr std::string_view kContinued = "（続き）";

double cellWidth(std::string_view text) {
    return textWidth(drawingText(text), textHeight(TextRole::TableCell)) + 2 * kCellPadding;
}

double symbolWidth(std::string_view name) {
    const Symbol* shape = findSymbol(name);
    return (shape != nullptr ? 2 * shape->radius : 0.0) + 2 * kCellPadding;
}

} // namespace

TableMeasure measureTable(const Table& table) {
    TableMeasure measure;
    measure.widths.assign(table.columns.size(), 2 * kCellPadding);
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        measure.widths[c] = std::max(measure.widths[c], cellWidth(table.columns[c].heading));
        for (const std::vector<std::string>& row : table.rows) {
            if (c < row.size()) {
                measure.widths[c] =
                    std::max(measure.widths[c],
                             table.columns[c].symbols ? symbolWidth(row[c]) : cellWidth(row[c]));
            }
        }
    }
    for (const double w : measure.widths) {
        measure.width += w;
    }
    if (!table.title.empty()) {
        const double title = textWidth(drawingText(table.title) + std::string(kContinued),
                                       textHeight(TextRole::TableTitle)) +
                             2 * kCellPadding;
        if (title > measure.width && !measure.widths.empty()) {
            measure.widths.back() += title - measure.width;
            measure.width = title;
        }
    }
    return measure;
}

double pieceHeight(const Table& table, std::size_t rows) {
    return (table.title.empty() ? 0.0 : kTableTitleRowHeight) +
           kTableRowHeight * static_cast<double>(rows + 1);
}

Box drawTablePiece(SheetBuilder& sheet, const Table& table, const TableMeasure& measure,
                   const TablePiece& piece, Point upperRight) {
    const double right = upperRight.x;
    const double left = right - measure.width;
    const double top = upperRight.y;
    const double bottom = top - pieceHeight(table, piece.rowCount);
    const Box box = Box::of({left, bottom}, {right, top});
    sheet.reserve(box);

    double y = top;
    if (!table.title.empty()) {
        const double cell = textHeight(TextRole::TableTitle);
        y -= kTableTitleRowHeight;
        sheet.line(LayerId::Tables, {{left, top}, {right, top}}, false, false);
        std::string title = drawingText(table.title);
        if (piece.continued) {
            title += kContinued;
        }
        sheet.add(makeText(LayerId::Tables, TextRole::TableTitle, title,
                           {(left + right) / 2, y + (kTableTitleRowHeight - cell) / 2}, 0.0,
                           Alignment::BottomCentre));
    }
    // The grid: a line above and under every row, the column lines through heading and rows.
    const double gridTop = y;
    const std::size_t lines = piece.rowCount + 2;
    for (std::size_t r = 0; r < lines; ++r) {
        const double at = gridTop - kTableRowHeight * static_cast<double>(r);
        sheet.line(LayerId::Tables, {{left, at}, {right, at}}, false, false);
    }
    double x = left;
    for (std::size_t c = 0; c <= measure.widths.size(); ++c) {
        // The outline's sides reach up through the title row.
        const bool side = c == 0 || c == measure.widths.size();
        sheet.line(LayerId::Tables, {{x, side ? top : gridTop}, {x, bottom}}, false, false);
        x += c < measure.widths.size() ? measure.widths[c] : 0.0;
    }

    const double cell = textHeight(TextRole::TableCell);
    const double baseline = (kTableRowHeight - (1 - kDescent) * cell) / 2;
    auto row = [&](std::size_t r, const auto& textOf, bool heading) {
        const double at = gridTop - kTableRowHeight * static_cast<double>(r + 1) + baseline;
        double cellLeft = left;
        for (std::size_t c = 0; c < measure.widths.size(); ++c) {
            const double cellRight = cellLeft + measure.widths[c];
            if (!heading && table.columns[c].symbols) {
                if (const Symbol* shape = findSymbol(textOf(c))) {
                    shape->draw(sheet.sheet(),
                                {(cellLeft + cellRight) / 2, at - baseline + kTableRowHeight / 2});
                }
                cellLeft = cellRight;
                continue;
            }
            const CellAlignment alignment =
                heading ? CellAlignment::Centre : table.columns[c].alignment;
            const Point place =
                alignment == CellAlignment::Left    ? Point{cellLeft + kCellPadding, at}
                : alignment == CellAlignment::Right ? Point{cellRight - kCellPadding, at}
                                                    : Point{(cellLeft + cellRight) / 2, at};
            const Alignment textAlignment = alignment == CellAlignment::Left ? Alignment::BottomLeft
                                            : alignment == CellAlignment::Right
                                                ? Alignment::BottomRight
                                                : Alignment::BottomCentre;
            sheet.add(makeText(LayerId::Tables, TextRole::TableCell, textOf(c), place, 0.0,
                               textAlignment));
            cellLeft = cellRight;
        }
    };
    row(
        0, [&](std::size_t c) -> std::string_view { return table.columns[c].heading; }, true);
    const auto valueOf = [&](std::size_t r, std::size_t c) -> std::string_view {
        const std::vector<std::string>& cells = table.rows[r];
        return c < cells.size() ? std::string_view(cells[c]) : std::string_view();
    };
    for (std::size_t r = 0; r < piece.rowCount; ++r) {
        const std::size_t at = piece.firstRow + r;
        row(
            r + 1,
            [&](std::size_t c) -> std::string_view {
                std::string_view value = valueOf(at, c);
                // The first row of a piece shows the value it continues under.
                for (std::size_t above = at;
                     r == 0 && value.empty() && table.columns[c].carried && above-- > 0;) {
                    value = valueOf(above, c);
                }
                return value;
            },
            false);
    }
    return box;
}

} // namespace karumenio::layout

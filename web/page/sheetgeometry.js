"use strict";
// Where the sheet's cells lie, in pixels: the row numbers' column at the left, then the sheet's
// own column widths; the sheet's row heights below the column letters' row; its merged blocks.
// Rows are counted from the top of the rows under the letters. Nothing here touches the page.

// Where the room is short the columns narrow evenly, to no less than this share of their
// own width; narrower still, the grid scrolls sideways.
const NARROWEST_SHARE = 0.65;

// Fonts that stand in for the sheet's Windows fonts, best match first.
function fontStack(family) {
    if (family.includes("明朝")) {
        return `"${family}", "MS PMincho", "Yu Mincho", "Noto Serif CJK JP", serif`;
    }
    return `"${family}", "MS PGothic", "Meiryo", "Yu Gothic", "Noto Sans CJK JP", sans-serif`;
}

class SheetGeometry {
    // layout: the core's sheet layout; its columns are the ones shown.
    constructor(layout) {
        this.layout = layout;
        this.columns = layout.columns;
        this.rowCount = layout.rowCount;
        this.measure();
    }

    // A column's width counts characters of the default font's widest digit plus the cell
    // margins, as spreadsheets do; a twip is a fifteenth of a pixel.
    measure() {
        const TWIPS_PER_PIXEL = 15;
        const context = document.createElement("canvas").getContext("2d");
        context.font = `${this.layout.size}pt ${fontStack(this.layout.font)}`;
        let digit = 0;
        for (let d = 0; d <= 9; ++d) {
            digit = Math.max(digit, context.measureText(String(d)).width);
        }
        // Wide enough for the last row's number.
        this.headingWidth = Math.ceil(digit * String(this.rowCount).length) + 12;
        this.naturalWidth = this.headingWidth;
        for (const column of this.columns) {
            column.natural = Math.round(column.width * digit) + 5;
            this.naturalWidth += column.natural;
        }
        this.fit(Infinity);
        this.defaultHeight = this.layout.rowHeight / TWIPS_PER_PIXEL;
        this.headingHeight = Math.round(this.defaultHeight) + 2;
        this.special = this.layout.rowHeights
            .map(([row, height]) => ({ row, height: height / TWIPS_PER_PIXEL }))
            .sort((a, b) => a.row - b.row);
    }

    // The row numbers and every column within the room (pixels) where they can be: the columns
    // keep their own widths where the room allows and narrow evenly where it is short, so that
    // the last one is not cut off. Returns whether any column changed.
    fit(room) {
        const natural = this.naturalWidth - this.headingWidth;
        const share = Math.min(1, Math.max(NARROWEST_SHARE, (room - this.headingWidth) / natural));
        let changed = false;
        let x = this.headingWidth;
        for (const column of this.columns) {
            const pixels = Math.floor(column.natural * share);
            changed = changed || pixels !== column.pixels;
            column.x = x;
            column.pixels = pixels;
            x += pixels;
        }
        this.width = x;
        return changed;
    }

    rowHeight(row) {
        const special = this.special.find((s) => s.row === row);
        return special ? special.height : this.defaultHeight;
    }

    rowTop(row) {
        let top = (row - 1) * this.defaultHeight;
        for (const s of this.special) {
            if (s.row < row) {
                top += s.height - this.defaultHeight;
            }
        }
        return top;
    }

    // The row at a height from the top of the sheet.
    rowAt(y) {
        let low = 1;
        let high = this.rowCount;
        while (low < high) {
            const middle = Math.ceil((low + high) / 2);
            if (this.rowTop(middle) <= y) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        return low;
    }

    columnIndex(column) {
        return this.columns.findIndex((c) => c.column === column);
    }

    // A cell's name as messages write it ("C18").
    cellName(row, column) {
        const entry = this.columns[this.columnIndex(column)];
        return entry ? `${entry.name}${row}` : "";
    }

    mergedAt(row, column) {
        return this.layout.merged.find(
            (m) => row >= m.top && row <= m.bottom && column >= m.left && column <= m.right);
    }

    // The box a cell shows in, a merged block's whole ({x, y, width, height, columns, rows}).
    box(row, column) {
        const merged = this.mergedAt(row, column);
        if (!merged) {
            const entry = this.columns[this.columnIndex(column)];
            return {
                x: entry.x, y: this.rowTop(row), width: entry.pixels, height: this.rowHeight(row),
                columns: 1, rows: 1,
            };
        }
        const span = this.columns.filter((c) => c.column >= merged.left && c.column <= merged.right);
        return {
            x: span[0].x,
            y: this.rowTop(merged.top),
            width: span.reduce((sum, c) => sum + c.pixels, 0),
            height: this.rowTop(merged.bottom + 1) - this.rowTop(merged.top),
            columns: span.length,
            rows: merged.bottom - merged.top + 1,
        };
    }

    // The cell that shows (row, column): the first cell of a merged block.
    owner(row, column) {
        const merged = this.mergedAt(row, column);
        return merged ? { row: merged.top, column: merged.left } : { row, column };
    }
}

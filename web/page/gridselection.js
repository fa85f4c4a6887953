"use strict";
// The grid's selection: an anchor and an active cell, and the block between them (merged
// blocks taken whole). It only computes; the grid shows it.

class GridSelection {
    constructor(geometry, range) {
        this.geometry = geometry;
        this.anchor = { row: range.top, column: range.left };
        this.active = { row: range.top, column: range.left };
    }

    block() {
        const g = this.geometry;
        const a = g.columnIndex(this.anchor.column);
        const b = g.columnIndex(this.active.column);
        const top = Math.min(this.anchor.row, this.active.row);
        const bottom = Math.max(this.anchor.row, this.active.row);
        const left = g.columns[Math.min(a, b)].column;
        const right = g.columns[Math.max(a, b)].column;
        let range = { top, left, bottom, right };
        for (const m of g.layout.merged) {
            if (m.top <= range.bottom && m.bottom >= range.top && m.left <= range.right &&
                m.right >= range.left) {
                range = {
                    top: Math.min(range.top, m.top),
                    left: Math.min(range.left, m.left),
                    bottom: Math.max(range.bottom, m.bottom),
                    right: Math.max(range.right, m.right),
                };
            }
        }
        return range;
    }

    // The block from the first cell to the second; one cell when both are the same.
    set(top, left, bottom = top, right = left) {
        this.anchor = this.geometry.owner(top, left);
        this.active = { row: bottom, column: right };
        if (bottom === top && right === left) {
            this.active = this.anchor;
        }
    }

    // The active cell moved to the cell given; the anchor follows unless the block extends.
    moveTo(cell, extend) {
        this.active = cell;
        if (!extend) {
            this.anchor = cell;
        }
    }

    // The cell a step of rows and columns away from the active cell, within the sheet: a
    // merged block is stepped over whole.
    stepped(rows, columns, extend) {
        const g = this.geometry;
        const from = this.active;
        let row = from.row;
        const merged = g.mergedAt(from.row, from.column);
        if (rows > 0 && merged) {
            row = merged.bottom + rows;
        } else {
            row += rows;
        }
        row = Math.min(g.rowCount, Math.max(1, row));
        let index = g.columnIndex(from.column);
        if (columns && merged && !extend) {
            index = g.columnIndex(columns > 0 ? merged.right : merged.left);
        }
        index = Math.min(g.columns.length - 1, Math.max(0, index + columns));
        const column = g.columns[index].column;
        return extend ? { row, column } : g.owner(row, column);
    }
}

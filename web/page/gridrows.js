"use strict";
// The grid's rows on the page: the column letters' row, then only the rows in view and a few
// beyond, fetched from the core where not cached, each after its row number, with the sheet's
// fonts, colours, merged cells, heading shapes and comments. The letters stay at the top and
// the numbers at the left while the grid scrolls.

const rgb = ([r, g, b]) => `rgb(${r}, ${g}, ${b})`;
const OVERSCAN = 8;

class GridRows {
    constructor(element, job, geometry, selection) {
        this.element = element;
        this.job = job;
        this.geometry = geometry;
        this.selection = selection;
        this.cache = new Map();
        this.rendered = new Map();
        this.spare = [];
        this.styles = [];
        const layout = geometry.layout;
        this.comments = new Map(layout.comments.map((c) => [`${c.row},${c.column}`, c]));
        this.headings = new Map(layout.headings.map((h) => [`${h.row},${h.column}`, h]));
        this.build();
    }

    build() {
        const g = this.geometry;
        const e = this.element;
        // The letters' row and the numbers' column count as a row and a column of the grid.
        e.setAttribute("aria-rowcount", String(g.rowCount + 1));
        e.setAttribute("aria-colcount", String(g.columns.length + 1));
        e.style.setProperty("--grid-font", fontStack(g.layout.font));
        e.style.setProperty("--grid-size", `${g.layout.size}pt`);
        e.style.setProperty("--heading-width", `${g.headingWidth}px`);
        e.style.setProperty("--heading-height", `${g.headingHeight}px`);
        e.classList.toggle("gridlines", g.layout.gridlines);
        this.head = document.createElement("div");
        this.head.className = "grid-head";
        this.head.setAttribute("role", "rowgroup");
        this.head.style.width = `${g.width}px`;
        const letters = document.createElement("div");
        letters.className = "grid-row";
        letters.setAttribute("role", "row");
        letters.setAttribute("aria-rowindex", "1");
        const corner = document.createElement("div");
        corner.className = "corner";
        corner.setAttribute("role", "columnheader");
        corner.setAttribute("aria-colindex", "1");
        corner.setAttribute("aria-label", "行番号");
        this.letters = g.columns.map((column, index) => {
            const letter = document.createElement("div");
            letter.className = "column-heading";
            letter.setAttribute("role", "columnheader");
            letter.setAttribute("aria-colindex", String(index + 2));
            letter.dataset.column = column.column;
            letter.textContent = column.name;
            letter.style.left = `${column.x}px`;
            letter.style.width = `${column.pixels}px`;
            return letter;
        });
        letters.append(corner, ...this.letters);
        this.head.append(letters);
        this.body = document.createElement("div");
        this.body.className = "grid-body";
        this.body.setAttribute("role", "rowgroup");
        this.body.style.height = `${g.rowTop(g.rowCount + 1)}px`;
        this.body.style.width = `${g.width}px`;
        e.replaceChildren(this.head, this.body);
    }

    // After the columns changed width: the letters moved, and every row drawn or kept built
    // again at the new widths.
    relayout() {
        const g = this.geometry;
        this.head.style.width = `${g.width}px`;
        this.body.style.width = `${g.width}px`;
        g.columns.forEach((column, index) => {
            this.letters[index].style.left = `${column.x}px`;
            this.letters[index].style.width = `${column.pixels}px`;
        });
        this.spare = [];
        for (const element of this.rendered.values()) {
            element.dataset.plain = "";
            element.dataset.stale = "1";
        }
        this.render();
    }

    // The height of the rows' part of the grid, under the letters.
    viewHeight() {
        return Math.max(0, (this.element.clientHeight || 600) - this.geometry.headingHeight);
    }

    // The rows in view and a few beyond.
    render() {
        const g = this.geometry;
        const top = this.element.scrollTop;
        const first = Math.max(1, g.rowAt(top) - OVERSCAN);
        const last = Math.min(g.rowCount, g.rowAt(top + this.viewHeight()) + OVERSCAN);
        for (const [row, element] of this.rendered) {
            if (row < first || row > last) {
                this.rendered.delete(row);
                element.remove();
                this.spare.push(element);
            }
        }
        this.fetch(first, last);
        for (let row = first; row <= last; ++row) {
            let element = this.rendered.get(row);
            if (!element) {
                element = this.spare.pop() || document.createElement("div");
                this.fillRow(element, row);
                this.rendered.set(row, element);
                this.body.append(element);
            } else if (element.dataset.stale) {
                this.fillRow(element, row);
            }
        }
    }

    // After an edit, undo or redo: every formula may have changed, so nothing cached holds.
    invalidate() {
        this.cache.clear();
        for (const element of this.rendered.values()) {
            element.dataset.stale = "1";
        }
        this.render();
    }

    fetch(first, last) {
        let start = 0;
        const columns = this.geometry.columns.map((c) => c.column);
        const flush = (end) => {
            if (!start) {
                return;
            }
            const data = this.job.cells(start, end, columns);
            const n = columns.length;
            for (let row = start; row <= end; ++row) {
                const i = (row - start) * n;
                this.cache.set(row, {
                    texts: data.texts.slice(i, i + n),
                    codes: data.codes.slice(2 * i, 2 * (i + n)),
                });
            }
            start = 0;
        };
        for (let row = first; row <= last; ++row) {
            if (this.cache.has(row)) {
                flush(row - 1);
            } else if (!start) {
                start = row;
            }
        }
        flush(last);
    }

    style(index) {
        if (index >= this.styles.length) {
            this.styles = this.job.styles();
        }
        return this.styles[index];
    }

    // Rows without merged cells, headings or comments share one shape: their cells are kept
    // and only their text, names and looks change, which keeps scrolling cheap.
    isPlain(row) {
        const layout = this.geometry.layout;
        return !layout.merged.some((m) => row >= m.top && row <= m.bottom) &&
            !layout.headings.some((h) => h.row === row) &&
            !layout.comments.some((c) => c.row === row);
    }

    fillRow(element, row) {
        const g = this.geometry;
        delete element.dataset.stale;
        element.className = "grid-row";
        element.setAttribute("role", "row");
        element.setAttribute("aria-rowindex", String(row + 1));
        element.style.transform = `translateY(${g.rowTop(row)}px)`;
        element.style.height = `${g.rowHeight(row)}px`;
        element.style.width = `${g.width}px`;
        const plain = this.isPlain(row);
        if (!plain || element.dataset.plain !== "1") {
            this.buildCells(element, row);
            element.dataset.plain = plain ? "1" : "";
        }
        const data = this.cache.get(row);
        const [number, ...cells] = element.children;
        number.textContent = String(row);
        number.dataset.row = row;
        number.style.height = `${g.rowHeight(row)}px`;
        for (const cell of cells) {
            const column = Number(cell.dataset.column);
            const index = g.columnIndex(column);
            cell.id = `cell-${row}-${column}`;
            cell.setAttribute("aria-label", `${g.columns[index].name}${row}`);
            cell.dataset.row = row;
            const height = cell.classList.contains("merged") ? null : `${g.rowHeight(row)}px`;
            if (height && cell.style.height !== height) {
                cell.style.height = height;
            }
            this.styleCell(cell, data.codes[2 * index], data.codes[2 * index + 1]);
            cell.firstChild.textContent = data.texts[index];
        }
        this.markSelection(element);
    }

    // The looks of a cell from the core's style and alignment, set only where they changed.
    styleCell(cell, styleIndex, align) {
        const key = `${styleIndex}:${align}`;
        if (cell.dataset.look === key) {
            return;
        }
        cell.dataset.look = key;
        const style = this.style(styleIndex);
        cell.style.fontFamily = fontStack(style.font);
        cell.style.fontSize = `${style.size}pt`;
        cell.style.fontWeight = style.bold ? "bold" : "";
        cell.style.color = rgb(style.colour);
        cell.style.justifyContent = ["flex-start", "center", "flex-end"][align];
        cell.style.alignItems = { top: "flex-start", middle: "center" }[style.vertical] || "flex-end";
    }

    buildCells(element, row) {
        const g = this.geometry;
        const number = document.createElement("div");
        number.className = "row-heading";
        number.setAttribute("role", "rowheader");
        number.setAttribute("aria-colindex", "1");
        const cells = [number];
        g.columns.forEach((column, index) => {
            const merged = g.mergedAt(row, column.column);
            if (merged && (merged.top !== row || merged.left !== column.column)) {
                return;
            }
            const cell = document.createElement("div");
            cell.setAttribute("role", "gridcell");
            cell.setAttribute("aria-colindex", String(index + 2));
            cell.dataset.column = column.column;
            cell.className = "cell";
            const box = g.box(row, column.column);
            if (merged) {
                cell.style.height = `${box.height}px`;
                cell.setAttribute("aria-colspan", String(box.columns));
                cell.setAttribute("aria-rowspan", String(box.rows));
                cell.classList.add("merged");
            }
            cell.style.left = `${box.x}px`;
            cell.style.width = `${box.width}px`;
            cell.append(document.createElement("span"));
            const heading = this.headings.get(`${row},${column.column}`);
            if (heading) {
                cell.append(this.headingShape(heading));
            }
            const comment = this.comments.get(`${row},${column.column}`);
            if (comment) {
                cell.classList.add("has-comment");
                cell.title = comment.text.replace(/\n+$/, "");
            }
            cells.push(cell);
        });
        element.replaceChildren(...cells);
    }

    headingShape(heading) {
        const shape = document.createElement("div");
        shape.className = "heading-shape";
        shape.textContent = heading.text;
        shape.style.fontFamily = fontStack(heading.font);
        shape.style.fontSize = `${heading.size}pt`;
        shape.style.background = `linear-gradient(${rgb(heading.edge)}, ${rgb(heading.middle)}, ${rgb(heading.edge)})`;
        shape.style.borderColor = rgb(heading.outline);
        return shape;
    }

    markSelection(rowElement) {
        const b = this.selection.block();
        const active = this.selection.active;
        const [number, ...cells] = rowElement.children;
        const row = Number(number.dataset.row);
        number.classList.toggle("selected", row >= b.top && row <= b.bottom);
        for (const cell of cells) {
            const column = Number(cell.dataset.column);
            const inside = row >= b.top && row <= b.bottom && column >= b.left && column <= b.right;
            cell.classList.toggle("selected", inside);
            cell.setAttribute("aria-selected", inside ? "true" : "false");
            cell.classList.toggle("active", row === active.row && column === active.column);
        }
    }

    // Shows the selection on every row drawn and on the letters.
    markAll() {
        const b = this.selection.block();
        for (const letter of this.letters) {
            const column = Number(letter.dataset.column);
            letter.classList.toggle("selected", column >= b.left && column <= b.right);
        }
        for (const element of this.rendered.values()) {
            this.markSelection(element);
        }
    }
}

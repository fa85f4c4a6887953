"use strict";
// The worksheet as an editable grid: the core's sheet drawn row by row, only the rows in
// view, with the sheet's own column widths, row heights, merged cells, heading shapes and
// hidden columns. Every edit goes to the core; the grid only shows what the core holds.

// Fonts that stand in for the sheet's Windows fonts, best match first.
function fontStack(family) {
    if (family.includes("明朝")) {
        return `"${family}", "MS PMincho", "Yu Mincho", "Noto Serif CJK JP", serif`;
    }
    return `"${family}", "MS PGothic", "Meiryo", "Yu Gothic", "Noto Sans CJK JP", sans-serif`;
}

const rgb = ([r, g, b]) => `rgb(${r}, ${g}, ${b})`;
const TWIPS_PER_PIXEL = 15;
const OVERSCAN = 8;

class SheetGrid {
    // job: the core's page job; hooks: changed() after every edit, report(message) for a
    // failure, askReplace() before a paste over an earlier job (0 replace, 1 over, else cancel),
    // selected(name) with the active cell's name ("A6") after the selection moved.
    constructor(element, job, hooks) {
        this.element = element;
        this.job = job;
        this.hooks = hooks;
        this.layout = job.layout();
        this.title = this.layout.title;
        this.columns = this.layout.columns;
        this.rowCount = this.layout.rowCount;
        this.cache = new Map();
        this.rendered = new Map();
        this.spare = [];
        this.styles = [];
        this.editor = null;
        this.measure();
        this.build();
        const s = this.layout.selection;
        this.anchor = { row: s.top, column: s.left };
        this.active = { row: s.top, column: s.left };
        this.listen();
        this.render();
        this.showSelection();
    }

    // Pixel sizes: a column's width counts characters of the default font's widest digit
    // plus the cell margins, as spreadsheets do; a twip is a fifteenth of a pixel.
    measure() {
        const context = document.createElement("canvas").getContext("2d");
        context.font = `${this.layout.size}pt ${fontStack(this.layout.font)}`;
        let digit = 0;
        for (let d = 0; d <= 9; ++d) {
            digit = Math.max(digit, context.measureText(String(d)).width);
        }
        let x = 0;
        for (const column of this.columns) {
            column.x = x;
            column.pixels = Math.round(column.width * digit) + 5;
            x += column.pixels;
        }
        this.width = x;
        this.defaultHeight = this.layout.rowHeight / TWIPS_PER_PIXEL;
        this.special = this.layout.rowHeights
            .map(([row, height]) => ({ row, height: height / TWIPS_PER_PIXEL }))
            .sort((a, b) => a.row - b.row);
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

    mergedAt(row, column) {
        return this.layout.merged.find(
            (m) => row >= m.top && row <= m.bottom && column >= m.left && column <= m.right);
    }

    // The cell that shows (row, column): the first cell of a merged block.
    owner(row, column) {
        const merged = this.mergedAt(row, column);
        return merged ? { row: merged.top, column: merged.left } : { row, column };
    }

    build() {
        this.element.setAttribute("aria-rowcount", String(this.rowCount));
        this.element.setAttribute("aria-colcount", String(this.columns.length));
        this.element.style.setProperty("--grid-font", fontStack(this.layout.font));
        this.element.style.setProperty("--grid-size", `${this.layout.size}pt`);
        this.element.classList.toggle("gridlines", this.layout.gridlines);
        this.body = document.createElement("div");
        this.body.className = "grid-body";
        this.body.setAttribute("role", "rowgroup");
        this.body.style.height = `${this.rowTop(this.rowCount + 1)}px`;
        this.body.style.width = `${this.width}px`;
        this.element.replaceChildren(this.body);
        // The keyboard's target while the grid has the focus: a text box over the active cell,
        // invisible until something is typed, so that an input method composes Japanese in it
        // from the first key. Its active descendant is the active cell.
        this.input = document.createElement("input");
        this.input.type = "text";
        this.input.className = "cell-editor waiting";
        this.input.autocomplete = "off";
        this.input.spellcheck = false;
        this.body.append(this.input);
        this.element.tabIndex = -1;
        this.comments = new Map(this.layout.comments.map((c) => [`${c.row},${c.column}`, c]));
        this.headings = new Map(this.layout.headings.map((h) => [`${h.row},${h.column}`, h]));
    }

    listen() {
        const e = this.element;
        e.addEventListener("scroll", () => this.schedule());
        window.addEventListener("resize", () => this.schedule());
        e.addEventListener("keydown", (event) => this.onKey(event));
        e.addEventListener("focus", () => this.input.focus({ preventScroll: true }));
        this.input.addEventListener("input", () => this.beginTyping());
        this.input.addEventListener("compositionstart", () => this.beginTyping());
        this.input.addEventListener("blur", () => this.commitEdit(false));
        e.addEventListener("pointerdown", (event) => this.onPointerDown(event));
        e.addEventListener("dblclick", (event) => {
            const cell = this.cellFromEvent(event);
            if (cell) {
                this.startEdit(this.job.inputText(cell.row, cell.column));
            }
        });
        e.addEventListener("paste", (event) => this.onPaste(event));
        e.addEventListener("copy", (event) => this.onCopy(event, false));
        e.addEventListener("cut", (event) => this.onCopy(event, true));
    }

    schedule() {
        if (!this.pending) {
            this.pending = requestAnimationFrame(() => {
                this.pending = 0;
                this.render();
            });
        }
    }

    // The rows in view and a few beyond, fetched from the core where not cached.
    render() {
        const top = this.element.scrollTop;
        const height = this.element.clientHeight || 600;
        const first = Math.max(1, this.rowAt(top) - OVERSCAN);
        const last = Math.min(this.rowCount, this.rowAt(top + height) + OVERSCAN);
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

    fetch(first, last) {
        let start = 0;
        const columns = this.columns.map((c) => c.column);
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
        return !this.layout.merged.some((m) => row >= m.top && row <= m.bottom) &&
            !this.layout.headings.some((h) => h.row === row) &&
            !this.layout.comments.some((c) => c.row === row);
    }

    fillRow(element, row) {
        delete element.dataset.stale;
        element.className = "grid-row";
        element.setAttribute("role", "row");
        element.setAttribute("aria-rowindex", String(row));
        element.style.transform = `translateY(${this.rowTop(row)}px)`;
        element.style.height = `${this.rowHeight(row)}px`;
        const plain = this.isPlain(row);
        if (!plain || element.dataset.plain !== "1") {
            this.buildCells(element, row);
            element.dataset.plain = plain ? "1" : "";
        }
        const data = this.cache.get(row);
        for (const cell of element.children) {
            const column = Number(cell.dataset.column);
            const index = this.columnIndex(column);
            cell.id = `cell-${row}-${column}`;
            cell.setAttribute("aria-label", `${this.columns[index].name}${row}`);
            cell.dataset.row = row;
            const height = cell.classList.contains("merged") ? null : `${this.rowHeight(row)}px`;
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
        const cells = [];
        this.columns.forEach((column, index) => {
            const merged = this.mergedAt(row, column.column);
            if (merged && (merged.top !== row || merged.left !== column.column)) {
                return;
            }
            const cell = document.createElement("div");
            cell.setAttribute("role", "gridcell");
            cell.setAttribute("aria-colindex", String(index + 1));
            cell.dataset.column = column.column;
            cell.className = "cell";
            let width = column.pixels;
            if (merged) {
                const span = this.columns.filter(
                    (c) => c.column >= merged.left && c.column <= merged.right);
                width = span.reduce((sum, c) => sum + c.pixels, 0);
                cell.style.height = `${this.rowTop(merged.bottom + 1) - this.rowTop(merged.top)}px`;
                cell.setAttribute("aria-colspan", String(span.length));
                cell.setAttribute("aria-rowspan", String(merged.bottom - merged.top + 1));
                cell.classList.add("merged");
            }
            cell.style.left = `${column.x}px`;
            cell.style.width = `${width}px`;
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

    // After an edit, undo or redo: every formula may have changed, so nothing cached holds.
    refresh() {
        this.cache.clear();
        for (const element of this.rendered.values()) {
            element.dataset.stale = "1";
        }
        this.render();
        this.hooks.changed();
    }

    // Selection: an anchor and an active cell; the block between them is selected.
    block() {
        const a = this.columnIndex(this.anchor.column);
        const b = this.columnIndex(this.active.column);
        const top = Math.min(this.anchor.row, this.active.row);
        const bottom = Math.max(this.anchor.row, this.active.row);
        const left = this.columns[Math.min(a, b)].column;
        const right = this.columns[Math.max(a, b)].column;
        // A merged block is taken whole.
        let range = { top, left, bottom, right };
        for (const m of this.layout.merged) {
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

    select(top, left, bottom = top, right = left, reveal = true) {
        this.anchor = this.owner(top, left);
        this.active = { row: bottom, column: right };
        if (bottom === top && right === left) {
            this.active = this.anchor;
        }
        this.showSelection();
        if (reveal) {
            this.reveal(this.anchor.row);
        }
    }

    markSelection(rowElement) {
        const b = this.block();
        for (const cell of rowElement.children) {
            const row = Number(cell.dataset.row);
            const column = Number(cell.dataset.column);
            const inside = row >= b.top && row <= b.bottom && column >= b.left && column <= b.right;
            cell.classList.toggle("selected", inside);
            cell.setAttribute("aria-selected", inside ? "true" : "false");
            cell.classList.toggle("active", row === this.active.row && column === this.active.column);
        }
    }

    showSelection() {
        for (const element of this.rendered.values()) {
            this.markSelection(element);
        }
        const id = `cell-${this.active.row}-${this.active.column}`;
        if (document.getElementById(id)) {
            this.input.setAttribute("aria-activedescendant", id);
        } else {
            this.input.removeAttribute("aria-activedescendant");
        }
        if (!this.editor) {
            this.placeInput(this.active.row, this.active.column);
        }
        const entry = this.columns[this.columnIndex(this.active.column)];
        this.hooks.selected(entry ? `${entry.name}${this.active.row}` : "");
    }

    // Scrolls the row into view (in the middle when it is far away).
    reveal(row, centre = false) {
        const top = this.rowTop(row);
        const bottom = top + this.rowHeight(row);
        const view = this.element;
        if (centre && (top < view.scrollTop || bottom > view.scrollTop + view.clientHeight)) {
            view.scrollTop = top - view.clientHeight / 2;
        } else if (top < view.scrollTop) {
            view.scrollTop = top;
        } else if (bottom > view.scrollTop + view.clientHeight) {
            view.scrollTop = bottom - view.clientHeight;
        }
        this.render();
        this.showSelection();
    }

    // Selects a cell named by a message ("C8") and shows it.
    selectName(name) {
        const match = /^([A-Z]+)([0-9]+)$/.exec(name || "");
        if (!match) {
            return;
        }
        const column = this.columns.find((c) => c.name === match[1]);
        const row = Number(match[2]);
        if (column && row >= 1 && row <= this.rowCount) {
            this.select(row, column.column, row, column.column, false);
            this.reveal(row, true);
        }
    }

    // A whole data row, as the preview's click on a point asks.
    selectRow(row) {
        const first = this.columns[0].column;
        const last = this.columns[this.columns.length - 1].column;
        this.anchor = { row, column: last };
        this.active = { row, column: first };
        this.showSelection();
        this.reveal(row, true);
    }

    move(rows, columns, extend) {
        const from = this.active;
        let row = from.row;
        const merged = this.mergedAt(from.row, from.column);
        if (rows > 0 && merged) {
            row = merged.bottom + rows;
        } else {
            row += rows;
        }
        row = Math.min(this.rowCount, Math.max(1, row));
        let index = this.columnIndex(from.column);
        if (columns && merged && !extend) {
            index = this.columnIndex(columns > 0 ? merged.right : merged.left);
        }
        index = Math.min(this.columns.length - 1, Math.max(0, index + columns));
        const target = extend ? { row, column: this.columns[index].column }
                              : this.owner(row, this.columns[index].column);
        this.active = target;
        if (!extend) {
            this.anchor = target;
        }
        this.showSelection();
        this.reveal(target.row);
    }

    pageRows() {
        return Math.max(1, Math.floor(this.element.clientHeight / this.defaultHeight) - 1);
    }

    onKey(event) {
        if (event.isComposing || event.keyCode === 229) {
            return;
        }
        if (this.editor) {
            this.onEditorKey(event);
            return;
        }
        const ctrl = event.ctrlKey || event.metaKey;
        const key = event.key;
        const moves = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] };
        let handled = true;
        if (moves[key]) {
            this.move(...moves[key], event.shiftKey);
        } else if (key === "PageDown" || key === "PageUp") {
            this.move((key === "PageDown" ? 1 : -1) * this.pageRows(), 0, event.shiftKey);
        } else if (key === "Home") {
            if (ctrl) {
                this.select(1, this.columns[0].column);
            } else {
                this.move(0, -this.columns.length, event.shiftKey);
            }
        } else if (key === "Enter") {
            this.move(event.shiftKey ? -1 : 1, 0, false);
        } else if (key === "F2") {
            this.startEdit(this.job.inputText(this.active.row, this.active.column));
        } else if (key === "Delete" && !ctrl) {
            this.clearSelection();
        } else if (key === "Backspace" && !ctrl) {
            this.startEdit("");
        } else if (ctrl && !event.altKey && (key === "z" || key === "Z") && !event.shiftKey) {
            this.undo();
        } else if (ctrl && !event.altKey && (key === "y" || key === "Y" ||
                                            ((key === "z" || key === "Z") && event.shiftKey))) {
            this.redo();
        } else {
            handled = false;
        }
        if (handled) {
            event.preventDefault();
        }
    }

    cellFromEvent(event) {
        const cell = event.target.closest && event.target.closest(".cell");
        return cell ? { row: Number(cell.dataset.row), column: Number(cell.dataset.column) } : null;
    }

    onPointerDown(event) {
        if (event.button !== 0 || (this.editor && event.target === this.editor)) {
            return;
        }
        const cell = this.cellFromEvent(event);
        if (!cell) {
            return;
        }
        this.commitEdit();
        event.preventDefault();
        this.input.focus({ preventScroll: true });
        if (event.shiftKey) {
            this.active = cell;
        } else {
            this.anchor = this.owner(cell.row, cell.column);
            this.active = this.anchor;
        }
        this.showSelection();
        const drag = (move) => {
            const target = document.elementFromPoint(move.clientX, move.clientY);
            const over = target && this.cellFromEvent({ target });
            if (over && (over.row !== this.active.row || over.column !== this.active.column)) {
                this.active = over;
                this.showSelection();
            }
        };
        const stop = () => {
            window.removeEventListener("pointermove", drag);
            window.removeEventListener("pointerup", stop);
        };
        window.addEventListener("pointermove", drag);
        window.addEventListener("pointerup", stop);
    }

    placeInput(row, column) {
        const index = this.columnIndex(column);
        const merged = this.mergedAt(row, column);
        const input = this.input;
        input.setAttribute("aria-label", `${this.columns[index].name}${row}`);
        input.style.top = `${this.rowTop(row)}px`;
        input.style.left = `${this.columns[index].x}px`;
        input.style.width = `${merged ? this.width : this.columns[index].pixels}px`;
        input.style.height = `${this.rowHeight(row)}px`;
    }

    // The cell editor over the active cell: Enter or Tab enter the text, Escape drops it.
    startEdit(text, typing = false) {
        this.commitEdit();
        const { row, column } = this.active;
        this.placeInput(row, column);
        this.editor = this.input;
        this.editing = { row, column, typing };
        this.input.classList.remove("waiting");
        this.input.value = text;
        this.input.focus({ preventScroll: true });
        this.input.setSelectionRange(text.length, text.length);
    }

    // Typing over the active cell: what was typed (or is being composed) is already in the box.
    beginTyping() {
        if (this.editor) {
            return;
        }
        const { row, column } = this.active;
        this.editor = this.input;
        this.editing = { row, column, typing: true };
        this.input.classList.remove("waiting");
    }

    onEditorKey(event) {
        const moves = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] };
        if (event.key === "Enter") {
            event.preventDefault();
            this.commitEdit();
            this.move(event.shiftKey ? -1 : 1, 0, false);
        } else if (event.key === "Tab") {
            event.preventDefault();
            this.commitEdit();
            this.move(0, event.shiftKey ? -1 : 1, false);
        } else if (event.key === "Escape") {
            event.preventDefault();
            this.cancelEdit();
        } else if (this.editing.typing && moves[event.key]) {
            // Typed over, the arrows leave the cell as in a spreadsheet.
            event.preventDefault();
            this.commitEdit();
            this.move(...moves[event.key], false);
        }
    }

    dropEditor(refocus) {
        this.editor = null;
        this.input.value = "";
        this.input.classList.add("waiting");
        this.placeInput(this.active.row, this.active.column);
        if (refocus) {
            this.input.focus({ preventScroll: true });
        }
    }

    cancelEdit() {
        if (this.editor) {
            this.dropEditor(true);
        }
    }

    // Enters what the editor holds; the desktop buttons do the same before they act.
    commitEdit(refocus = true) {
        if (!this.editor) {
            return;
        }
        const text = this.input.value;
        const { row, column } = this.editing;
        this.dropEditor(refocus && document.activeElement === this.input);
        this.apply(this.job.enter(row, column, text));
    }

    apply(outcome) {
        if (!outcome.ok) {
            if (outcome.message) {
                this.selectName(outcome.message.cell);
                this.hooks.report(outcome.message);
            }
            return false;
        }
        this.refresh();
        if (outcome.message) {
            this.hooks.report(outcome.message);
        }
        return true;
    }

    clearSelection() {
        const b = this.block();
        this.apply(this.job.clear(b.top, b.left, b.bottom, b.right));
    }

    undo() {
        this.commitEdit();
        if (this.job.undo()) {
            this.refresh();
        }
    }

    redo() {
        this.commitEdit();
        if (this.job.redo()) {
            this.refresh();
        }
    }

    // Clipboard text with its first field at the selected block's first cell; a new job at
    // A6 over an earlier one asks first.
    async pasteText(text) {
        if (!text) {
            return;
        }
        const b = this.block();
        // What cannot go in at all is refused before anything is asked.
        const refusal = this.job.pasteRefusal(b.top, b.left, text);
        if (refusal) {
            this.apply({ ok: false, message: refusal });
            return;
        }
        let replace = false;
        if (this.job.asksBeforePasting(b.top, b.left)) {
            const answer = await this.hooks.askReplace();
            if (answer !== 0 && answer !== 1) {
                return;
            }
            replace = answer === 0;
        }
        const outcome = this.job.paste(b.top, b.left, text, replace);
        if (this.apply(outcome) && outcome.bottom > 0) {
            this.anchor = { row: b.top, column: b.left };
            this.active = {
                row: Math.max(b.top, outcome.bottom),
                column: Math.max(b.left, outcome.right),
            };
            this.showSelection();
        }
    }

    onPaste(event) {
        if (this.editor) {
            return;
        }
        event.preventDefault();
        this.pasteText(event.clipboardData.getData("text/plain"));
    }

    onCopy(event, cut) {
        if (this.editor) {
            return;
        }
        event.preventDefault();
        const b = this.block();
        event.clipboardData.setData("text/plain", this.job.copyText(b.top, b.left, b.bottom, b.right));
        if (cut) {
            this.clearSelection();
        }
    }
}

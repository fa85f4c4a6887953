"use strict";
// The worksheet as an editable grid: the core's sheet drawn by GridRows, the selection, the
// cell editor, the keys, the mouse and the clipboard. Every edit goes to the core; the grid
// only shows what the core holds.

class SheetGrid {
    // job: the core's page job; hooks: changed() after every edit, report(message) for a
    // failure, askReplace() before a paste over an earlier job (0 replace, 1 over, else cancel),
    // selected(name) with the active cell's name ("A6") after the selection moved.
    constructor(element, job, hooks) {
        this.element = element;
        this.job = job;
        this.hooks = hooks;
        const layout = job.layout();
        this.title = layout.title;
        this.geometry = new SheetGeometry(layout);
        this.columns = this.geometry.columns;
        this.selection = new GridSelection(this.geometry, layout.selection);
        this.rows = new GridRows(element, job, this.geometry, this.selection);
        this.editor = new CellEditor(this.rows.body, this.geometry);
        this.element.tabIndex = -1;
        this.listen();
        this.fitColumns();
        this.rows.render();
        this.showSelection();
    }

    // The width the grid asks for: every column at its own width, with the row numbers and the
    // scroll bar's room.
    wantedWidth() {
        const bar = this.element.offsetWidth - this.element.clientWidth;
        return this.geometry.naturalWidth + bar;
    }

    // The columns within the grid's width, again whenever the width changes.
    fitColumns() {
        if (this.element.clientWidth > 0 && this.geometry.fit(this.element.clientWidth)) {
            this.rows.relayout();
            this.showSelection();
            if (this.editor.isOpen) {
                this.editor.place(this.editor.editing.row, this.editor.editing.column);
            }
        }
    }

    listen() {
        const e = this.element;
        const input = this.editor.input;
        e.addEventListener("scroll", () => this.schedule());
        window.addEventListener("resize", () => this.schedule());
        new ResizeObserver(() => this.fitColumns()).observe(e);
        e.addEventListener("keydown", (event) => this.onKey(event));
        e.addEventListener("focus", () => input.focus({ preventScroll: true }));
        input.addEventListener("input", () => this.editor.beginTyping(this.selection.active));
        input.addEventListener("compositionstart", () => this.editor.beginTyping(this.selection.active));
        input.addEventListener("blur", () => this.commitEdit(false));
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
                this.rows.render();
            });
        }
    }

    // After an edit, undo or redo.
    refresh() {
        this.rows.invalidate();
        this.hooks.changed();
    }

    showSelection() {
        this.rows.markAll();
        const { row, column } = this.selection.active;
        const input = this.editor.input;
        const id = `cell-${row}-${column}`;
        if (document.getElementById(id)) {
            input.setAttribute("aria-activedescendant", id);
        } else {
            input.removeAttribute("aria-activedescendant");
        }
        if (!this.editor.isOpen) {
            this.editor.place(row, column);
        }
        this.hooks.selected(this.geometry.cellName(row, column));
    }

    select(top, left, bottom = top, right = left, reveal = true) {
        this.selection.set(top, left, bottom, right);
        this.showSelection();
        if (reveal) {
            this.reveal(this.selection.anchor.row);
        }
    }

    // Scrolls the row into view, or to the middle (as far as the sheet's top allows).
    reveal(row, centre = false) {
        const g = this.geometry;
        const top = g.rowTop(row);
        const bottom = top + g.rowHeight(row);
        const view = this.element;
        const height = this.rows.viewHeight();
        if (centre) {
            view.scrollTop = (top + bottom - height) / 2;
        } else if (top < view.scrollTop) {
            view.scrollTop = top;
        } else if (bottom > view.scrollTop + height) {
            view.scrollTop = bottom - height;
        }
        this.rows.render();
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
        if (column && row >= 1 && row <= this.geometry.rowCount) {
            this.select(row, column.column, row, column.column, false);
            this.reveal(row, true);
        }
    }

    // A whole data row, as the preview's click on a point asks.
    selectRow(row) {
        const first = this.columns[0].column;
        const last = this.columns[this.columns.length - 1].column;
        this.selection.anchor = { row, column: last };
        this.selection.active = { row, column: first };
        this.showSelection();
        this.reveal(row, true);
    }

    move(rows, columns, extend) {
        this.moveTo(this.selection.stepped(rows, columns, extend), extend);
    }

    // The active cell to the cell given; Shift keeps the anchor and selects the block between.
    moveTo(cell, extend) {
        const target = extend ? cell : this.geometry.owner(cell.row, cell.column);
        this.selection.moveTo(target, extend);
        this.showSelection();
        this.reveal(target.row);
    }

    pageRows() {
        return Math.max(1, Math.floor(this.rows.viewHeight() / this.geometry.defaultHeight) - 1);
    }

    // Ctrl with the arrows, Home and End, as spreadsheets have them: to the edge of the data,
    // to A1, to the last cell used; the core knows where the data ends.
    jump(key, extend) {
        const { row, column } = this.selection.active;
        if (ARROW_STEPS[key]) {
            this.moveTo(this.job.dataEdge(row, column, ...ARROW_STEPS[key]), extend);
        } else if (key === "Home") {
            this.moveTo({ row: 1, column: this.columns[0].column }, extend);
        } else {
            this.moveTo(this.job.lastUsedCell(), extend);
        }
    }

    onKey(event) {
        if (event.isComposing || event.keyCode === 229) {
            return;
        }
        if (this.editor.isOpen) {
            this.onEditorKey(event);
            return;
        }
        const ctrl = event.ctrlKey || event.metaKey;
        const key = event.key;
        let handled = true;
        if (ctrl && !event.altKey && (ARROW_STEPS[key] || key === "Home" || key === "End")) {
            this.jump(key, event.shiftKey);
        } else if (ARROW_STEPS[key]) {
            this.move(...ARROW_STEPS[key], event.shiftKey);
        } else if (key === "PageDown" || key === "PageUp") {
            this.move((key === "PageDown" ? 1 : -1) * this.pageRows(), 0, event.shiftKey);
        } else if (key === "Home") {
            this.move(0, -this.columns.length, event.shiftKey);
        } else if (key === "Enter") {
            this.move(event.shiftKey ? -1 : 1, 0, false);
        } else if (key === "F2") {
            const { row, column } = this.selection.active;
            this.startEdit(this.job.inputText(row, column));
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

    onEditorKey(event) {
        const action = this.editor.action(event);
        if (!action) {
            return;
        }
        event.preventDefault();
        if (action.cancel) {
            this.cancelEdit();
        } else {
            this.commitEdit();
            this.move(...action.step, false);
        }
    }

    cellFromEvent(event) {
        const cell = event.target.closest && event.target.closest(".cell");
        return cell ? { row: Number(cell.dataset.row), column: Number(cell.dataset.column) } : null;
    }

    onPointerDown(event) {
        if (event.button !== 0 || (this.editor.isOpen && event.target === this.editor.input)) {
            return;
        }
        const cell = this.cellFromEvent(event);
        if (!cell) {
            return;
        }
        this.commitEdit();
        event.preventDefault();
        this.editor.input.focus({ preventScroll: true });
        const selection = this.selection;
        if (event.shiftKey) {
            selection.active = cell;
        } else {
            selection.moveTo(this.geometry.owner(cell.row, cell.column), false);
        }
        this.showSelection();
        const drag = (move) => {
            const target = document.elementFromPoint(move.clientX, move.clientY);
            const over = target && this.cellFromEvent({ target });
            if (over && (over.row !== selection.active.row || over.column !== selection.active.column)) {
                selection.active = over;
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

    startEdit(text) {
        this.commitEdit();
        this.editor.start(this.selection.active, text);
    }

    cancelEdit() {
        if (this.editor.isOpen) {
            this.editor.close(this.selection.active, true);
        }
    }

    // Enters what the editor holds; the desktop buttons do the same before they act.
    commitEdit(refocus = true) {
        if (!this.editor.isOpen) {
            return;
        }
        const focus = refocus && document.activeElement === this.editor.input;
        const edited = this.editor.close(this.selection.active, focus);
        this.apply(this.job.enter(edited.row, edited.column, edited.text));
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
        const b = this.selection.block();
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
        const b = this.selection.block();
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
            this.selection.anchor = { row: b.top, column: b.left };
            this.selection.active = {
                row: Math.max(b.top, outcome.bottom),
                column: Math.max(b.left, outcome.right),
            };
            this.showSelection();
        }
    }

    onPaste(event) {
        if (this.editor.isOpen) {
            return;
        }
        event.preventDefault();
        this.pasteText(event.clipboardData.getData("text/plain"));
    }

    onCopy(event, cut) {
        if (this.editor.isOpen) {
            return;
        }
        event.preventDefault();
        const b = this.selection.block();
        event.clipboardData.setData("text/plain", this.job.copyText(b.top, b.left, b.bottom, b.right));
        if (cut) {
            this.clearSelection();
        }
    }
}

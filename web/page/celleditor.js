"use strict";
// The cell editor: a text box over the active cell that is the keyboard's target while the
// grid has the focus. It waits unseen until something is typed, so that an input method
// composes Japanese in it from the first key; F2, a double click or Backspace open it with
// the cell's text.

const ARROW_STEPS = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] };

class CellEditor {
    constructor(body, geometry) {
        this.geometry = geometry;
        // The cell being edited ({row, column, typing}), or null while the box waits.
        this.editing = null;
        this.input = document.createElement("input");
        this.input.type = "text";
        this.input.className = "cell-editor waiting";
        this.input.autocomplete = "off";
        this.input.spellcheck = false;
        body.append(this.input);
    }

    get isOpen() {
        return this.editing !== null;
    }

    place(row, column) {
        const g = this.geometry;
        const at = g.owner(row, column);
        const box = g.box(at.row, at.column);
        const input = this.input;
        input.setAttribute("aria-label", g.cellName(at.row, at.column));
        input.style.top = `${box.y}px`;
        input.style.left = `${box.x}px`;
        input.style.width = `${box.width}px`;
        input.style.height = `${g.rowHeight(at.row)}px`;
    }

    // Opens the box over the cell with the text, the caret at its end.
    start(cell, text) {
        this.place(cell.row, cell.column);
        this.editing = { row: cell.row, column: cell.column, typing: false };
        this.input.classList.remove("waiting");
        this.input.value = text;
        this.input.focus({ preventScroll: true });
        this.input.setSelectionRange(text.length, text.length);
    }

    // Typing over the cell: what was typed (or is being composed) is already in the box.
    beginTyping(cell) {
        if (this.editing) {
            return;
        }
        this.editing = { row: cell.row, column: cell.column, typing: true };
        this.input.classList.remove("waiting");
    }

    // What a key pressed while editing asks for: the text entered and a step to the next
    // cell ({enter, step}), the text dropped ({cancel}), or nothing of the editor's.
    action(event) {
        if (event.key === "Enter") {
            return { enter: true, step: [event.shiftKey ? -1 : 1, 0] };
        }
        if (event.key === "Tab") {
            return { enter: true, step: [0, event.shiftKey ? -1 : 1] };
        }
        if (event.key === "Escape") {
            return { cancel: true };
        }
        // Typed over, the arrows leave the cell as in a spreadsheet.
        if (this.editing.typing && ARROW_STEPS[event.key]) {
            return { enter: true, step: ARROW_STEPS[event.key] };
        }
        return null;
    }

    // Closes the box and waits again over the cell given (with the focus, when asked);
    // returns what was being edited with its text, or null when nothing was.
    close(waitAt, focus) {
        const edited = this.editing && { ...this.editing, text: this.input.value };
        this.editing = null;
        this.input.value = "";
        this.input.classList.add("waiting");
        this.place(waitAt.row, waitAt.column);
        if (focus) {
            this.input.focus({ preventScroll: true });
        }
        return edited;
    }
}

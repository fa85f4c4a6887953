"use strict";
// The page: the core's module loaded, the main window's controls, the worksheet and the
// preview put together, and each button handed to the session as the desktop program hands it.

// The core's WebAssembly, carried by the page compressed and as base64.
async function karumenioWasm() {
    const text = document.getElementById("karumenio-wasm").textContent.trim();
    let packed;
    if (typeof Uint8Array.fromBase64 === "function") {
        packed = Uint8Array.fromBase64(text);
    } else {
        const binary = atob(text);
        packed = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) {
            packed[i] = binary.charCodeAt(i);
        }
    }
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream("gzip"));
    return new Uint8Array(await new Response(stream).arrayBuffer());
}

// While a button's work goes on (its messages included) the page says it is busy, so that a
// script driving the page knows when it is done.
let running = 0;
const busy = (work) => async (...args) => {
    document.documentElement.dataset.busy = String(++running);
    try {
        await work(...args);
    } finally {
        if (--running === 0) {
            delete document.documentElement.dataset.busy;
        }
    }
};

// Keeps the sheet's cells in the browser a moment after each edit, and when the page is left,
// so that a reload or the next visit finds them; html[data-sheet-kept] counts what was kept,
// and html[data-sheet-waiting] stands while the last edit is not kept yet.
class SheetKeeper {
    constructor(job) {
        this.job = job;
        this.timer = 0;
        this.edits = 0;
        document.addEventListener("visibilitychange", () => {
            if (document.visibilityState === "hidden") {
                this.keep();
            }
        });
    }

    changed() {
        ++this.edits;
        document.documentElement.dataset.sheetWaiting = "true";
        clearTimeout(this.timer);
        this.timer = setTimeout(() => this.keep(), 250);
    }

    async keep() {
        clearTimeout(this.timer);
        const edits = this.edits;
        try {
            await Output.keepSheet(this.job.keptCells());
            const root = document.documentElement;
            root.dataset.sheetKept = String(Number(root.dataset.sheetKept || 0) + 1);
            if (edits === this.edits) {
                delete root.dataset.sheetWaiting;
            }
        } catch {
            // A browser that keeps nothing (a private window): the sheet lasts as long as the page.
        }
    }
}

// Points files from the file button or dropped anywhere on the page.
function acceptFiles(open) {
    const input = document.getElementById("open-input");
    document.getElementById("open-button").addEventListener("click", () => input.click());
    input.addEventListener("change", (event) => {
        const [file] = event.target.files;
        event.target.value = "";
        if (file) {
            busy(open)(file);
        }
    });
    document.addEventListener("dragover", (event) => {
        if (event.dataTransfer && [...event.dataTransfer.types].includes("Files")) {
            event.preventDefault();
            event.dataTransfer.dropEffect = "copy";
        }
    });
    document.addEventListener("drop", (event) => {
        const files = event.dataTransfer ? event.dataTransfer.files : [];
        if (files.length > 0) {
            event.preventDefault();
            busy(open)(files[0]);
        }
    });
}

(async function start() {
    const byId = (id) => document.getElementById(id);
    let Module;
    try {
        Module = await createKarumenio({ wasmBinary: await karumenioWasm() });
    } catch (error) {
        // A browser without WebAssembly exceptions cannot run the core: say so on the page.
        byId("unsupported").hidden = false;
        throw error;
    }
    // Marks for the benchmark: how long each part of the start takes.
    performance.mark("karumenio-module");
    const job = new Module.PageJob();
    const tables = Module.tables();
    // The sheet as the last visit left it.
    const kept = await Output.keptSheet();
    if (kept) {
        job.restoreKeptCells(kept);
    }
    const keeper = new SheetKeeper(job);

    let session = null;
    const controls = new Controls(
        tables,
        () => session.refreshPreview(),
        (fields) => Module.drawingInfoProblem(fields),
        () => job.parcelNames(),
    );
    const grid = new SheetGrid(byId("grid"), job, {
        changed: () => {
            byId("undo-button").disabled = !job.canUndo();
            byId("redo-button").disabled = !job.canRedo();
            keeper.changed();
        },
        report: (message) => Dialogs.show(message),
        askReplace: () => session.askReplace(),
        selected: (name) => {
            byId("cell-name").textContent = name;
        },
    });
    byId("undo-button").disabled = true;
    byId("redo-button").disabled = true;
    // The worksheet's panel as wide as its columns ask (and its border), narrower only where
    // the window is.
    byId("sheet-panel").style.setProperty("--sheet-width", `${grid.wantedWidth() + 2}px`);
    performance.mark("karumenio-grid");

    const preview = new PlanPreview({
        pointClicked: (slot) => grid.selectRow(6 + slot),
        cellRequested: (name) => grid.selectName(name),
        applySuggestion: (paperToken, scaleToken) => controls.choosePaperAndScale(paperToken, scaleToken),
        pointTip: (slot) => job.pointTip(slot),
    });
    session = new PageSession({ Module, job, tables, controls, grid, preview });

    byId("read-button").addEventListener("click", busy(() => session.readPoints()));
    byId("write-button").addEventListener("click", busy(() => session.writeScripts()));
    byId("folder-button").addEventListener("click", busy(() => session.chooseFolder()));
    acceptFiles((file) => session.openFile(file));
    byId("undo-button").addEventListener("click", () => grid.undo());
    byId("redo-button").addEventListener("click", () => grid.redo());
    byId("new-sheet-button").addEventListener("click", busy(() => session.newSheet()));
    // One button for each file of the core's format table.
    for (const format of tables.formats) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = `${format.name} 出力…`;
        button.addEventListener("click", busy(() => session.exportFile(format)));
        byId("exports").append(button);
    }
    byId("print-button").addEventListener("click", busy(() => session.print()));
    setUpGuideWindows();

    session.refreshPreview();
    byId("usage-button").focus();
    performance.mark("karumenio-ready");
    document.documentElement.dataset.ready = "true";
})();

"use strict";
// The page: the main window's controls, the worksheet and the preview, each button handed
// to the core as the desktop program hands it.

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

(async function start() {
    const byId = (id) => document.getElementById(id);
    let Module;
    try {
        Module = await createKarumenio({ wasmBinary: await karumenioWasm() });
    } catch (error) {
        // A browser without WebAssembly exceptions cannot run the core: say so on the page.
        document.getElementById("unsupported").hidden = false;
        throw error;
    }
    // Marks for the benchmark: how long each part of the start takes.
    performance.mark("karumenio-module");
    const job = new Module.PageJob();
    const tables = Module.tables();

    const paper = byId("paper");
    const scale = byId("scale");
    const angle = byId("angle");
    const planeSystem = byId("plane-system");
    const surveyMap = byId("survey-map");
    const editionButtons = [];
    let edition = "";
    let folder = null;

    // Lists and buttons from the core's tables.
    for (const entry of tables.papers) {
        paper.append(new Option(entry.caption, entry.token));
    }
    for (const entry of tables.scales) {
        scale.append(new Option(entry.caption, entry.token));
    }
    for (const entry of tables.planeSystems) {
        planeSystem.append(new Option(entry.caption, String(entry.number)));
    }
    for (const entry of tables.editions) {
        const button = document.createElement("button");
        button.type = "button";
        button.className = "edition";
        button.textContent = entry.caption;
        button.dataset.code = entry.code;
        button.setAttribute("aria-pressed", "false");
        button.addEventListener("click", () => chooseEdition(entry.code));
        byId("editions").append(button);
        editionButtons.push(button);
    }

    function chooseEdition(code) {
        edition = code;
        for (const button of editionButtons) {
            button.setAttribute("aria-pressed", String(button.dataset.code === code));
        }
        saveSettings();
    }

    const settings = () => ({
        edition,
        paper: paper.value,
        scale: scale.value,
        angle: angle.value,
        planeSystem: Number(planeSystem.value),
        surveyMap: surveyMap.checked,
    });
    const saveSettings = () => Output.saveSettings(settings());

    const kept = Output.loadSettings();
    if (tables.editions.some((e) => e.code === kept.edition)) {
        chooseEdition(kept.edition);
    }
    if (tables.papers.some((p) => p.token === kept.paper)) {
        paper.value = kept.paper;
    }
    if (tables.scales.some((s) => s.token === kept.scale)) {
        scale.value = kept.scale;
    }
    if (typeof kept.angle === "string") {
        angle.value = kept.angle;
    }
    if (tables.planeSystems.some((s) => s.number === kept.planeSystem)) {
        planeSystem.value = String(kept.planeSystem);
    }
    surveyMap.checked = kept.surveyMap === true;

    const askReplace = () => Dialogs.ask(grid.title, TEXTS.replaceQuestion, TEXTS.replaceButtons);
    const grid = new SheetGrid(byId("grid"), job, {
        changed: () => {
            byId("undo-button").disabled = !job.canUndo();
            byId("redo-button").disabled = !job.canRedo();
        },
        report: (message) => Dialogs.show(message),
        askReplace,
        selected: (name) => {
            byId("cell-name").textContent = name;
        },
    });
    byId("undo-button").disabled = true;
    byId("redo-button").disabled = true;
    performance.mark("karumenio-grid");

    const preview = new PlanPreview({
        pointClicked: (slot) => grid.selectRow(6 + slot),
        cellRequested: (name) => grid.selectName(name),
        applySuggestion: (paperToken, scaleToken) => {
            paper.value = paperToken;
            scale.value = scaleToken;
            saveSettings();
            refreshPreview();
        },
    });
    const refreshPreview = () => preview.show(job.plan(settings()));

    // The angle box selects its whole text when it takes the focus, so typing replaces it.
    let selectAfterClick = false;
    angle.addEventListener("focus", () => {
        angle.select();
        selectAfterClick = true;
    });
    angle.addEventListener("mouseup", (event) => {
        if (selectAfterClick) {
            event.preventDefault();
            selectAfterClick = false;
        }
    });
    for (const control of [paper, scale, planeSystem, surveyMap]) {
        control.addEventListener("change", () => {
            saveSettings();
            refreshPreview();
        });
    }
    angle.addEventListener("input", () => {
        saveSettings();
        refreshPreview();
    });

    // 座 標 読 込
    async function readPoints() {
        grid.commitEdit();
        const outcome = job.read();
        grid.selectName(outcome.message.cell);
        const shown = Dialogs.show(outcome.message);
        // The message first; the preview of thousands of points is drawn in the frames after.
        requestAnimationFrame(() => setTimeout(refreshPreview, 0));
        await shown;
    }

    // .SCR 出力
    async function writeScripts() {
        grid.commitEdit();
        // The frame follows the sheet while the points follow the read: never mix two jobs.
        if (job.changedSinceRead()) {
            const answer = await Dialogs.ask(TEXTS.writeTitle, TEXTS.staleQuestion, TEXTS.staleButtons);
            if (answer === 0) {
                await readPoints();
                if (!job.hasRead() || job.changedSinceRead()) {
                    return;
                }
            } else if (answer !== 1) {
                return;
            }
        }
        await folderKept;
        let target = folder;
        let denied = false;
        if (target && !(await Output.permitted(target, true).catch(() => false))) {
            target = null;
            denied = true;
        }
        showFolder();
        const outcome = job.write(settings(), target ? target.name : TEXTS.downloads);
        if (!outcome.ok) {
            grid.selectName(outcome.message.cell);
            await Dialogs.show(outcome.message);
            return;
        }
        if (target) {
            try {
                await Output.writeInto(target, outcome.files);
            } catch (error) {
                await Dialogs.tell(TEXTS.writeTitle, TEXTS.folderFailed(target.name, error.message), true);
                return;
            }
        } else {
            if (denied) {
                await Dialogs.tell(TEXTS.writeTitle, TEXTS.folderDenied(folder.name), true);
            }
            Output.download(outcome.files);
        }
        await Dialogs.show(outcome.message);
    }

    async function showFolder() {
        const label = byId("folder-name");
        if (!Output.canChooseFolder()) {
            label.textContent = "";
            byId("folder-button").hidden = true;
            return;
        }
        if (!folder) {
            label.textContent = TEXTS.folderUnchosen;
            return;
        }
        const granted = await Output.permitted(folder, false).catch(() => false);
        label.textContent = granted ? folder.name : `${folder.name} ${TEXTS.folderAsk}`;
    }

    async function chooseFolder() {
        if (!Output.canChooseFolder()) {
            await Dialogs.tell(TEXTS.writeTitle, TEXTS.noFolderApi);
            return;
        }
        try {
            folder = await Output.chooseFolder();
        } catch (error) {
            if (error.name !== "AbortError") {
                await Dialogs.tell(TEXTS.writeTitle, error.message, true);
            }
        }
        showFolder();
    }

    // A SIMA or CSV/TSV file, from the file button or dropped on the page.
    async function openFile(file) {
        grid.commitEdit();
        let bytes;
        try {
            // Beyond the limit the core refuses the file; reading more would only fill memory.
            bytes = new Uint8Array(await file.slice(0, tables.pointsFileLimit + 1).arrayBuffer());
        } catch (error) {
            await Dialogs.tell(TEXTS.openTitle, TEXTS.openFailed(file.name, error.message), true);
            return;
        }
        let replace = false;
        if (job.holdsAJob()) {
            const answer = await askReplace();
            if (answer !== 0 && answer !== 1) {
                return;
            }
            replace = answer === 0;
        }
        if (grid.apply(job.openFile(bytes, file.name, replace))) {
            grid.select(6, grid.columns[0].column);
        }
    }

    function exportFile(outcome) {
        if (!outcome.ok || outcome.message.warning) {
            Dialogs.show(outcome.message);
        }
        if (outcome.ok) {
            Output.download(outcome.files);
        }
    }

    // While a button's work goes on (its messages included) the page says it is busy, so that
    // a script driving the page knows when it is done.
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

    byId("read-button").addEventListener("click", busy(readPoints));
    byId("write-button").addEventListener("click", busy(writeScripts));
    byId("folder-button").addEventListener("click", busy(chooseFolder));
    byId("open-button").addEventListener("click", () => byId("open-input").click());
    byId("open-input").addEventListener("change", (event) => {
        const [file] = event.target.files;
        event.target.value = "";
        if (file) {
            busy(openFile)(file);
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
            busy(openFile)(files[0]);
        }
    });
    byId("undo-button").addEventListener("click", () => grid.undo());
    byId("redo-button").addEventListener("click", () => grid.redo());
    byId("new-sheet-button").addEventListener("click", busy(async () => {
        grid.commitEdit();
        const answer = await Dialogs.ask(grid.title, TEXTS.newSheetQuestion, TEXTS.newSheetButtons);
        if (answer === 0) {
            grid.apply(job.newSheet());
        }
    }));
    // One button for each file of the core's format table (DXF, SIMA, the area table, GeoJSON).
    for (const format of tables.formats) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = `${format.name} 出力…`;
        button.addEventListener("click", () =>
            exportFile(job.exportFile(settings(), format.token, TEXTS.exportName(format))));
        byId("exports").append(button);
    }
    byId("print-button").addEventListener("click", () => window.print());

    // The guidance windows: modeless, closing the usage window hands the focus to the paper list.
    const usage = byId("usage-window");
    const example = byId("example-window");
    byId("usage-button").addEventListener("click", () => {
        if (!usage.open) {
            usage.show();
        }
        byId("example-button").focus();
    });
    byId("example-button").addEventListener("click", () => {
        if (!example.open) {
            example.show();
        }
        byId("example-close").focus();
    });
    byId("usage-close").addEventListener("click", () => {
        usage.close();
        paper.focus();
    });
    byId("example-close").addEventListener("click", () => example.close());

    // The folder kept from an earlier visit comes from IndexedDB while the page already takes
    // input; a write waits for it.
    const folderKept = (Output.canChooseFolder() ? Output.folder() : Promise.resolve(null))
        .then((kept) => {
            folder = folder || kept;
            showFolder();
        });
    refreshPreview();
    byId("usage-button").focus();
    performance.mark("karumenio-ready");
    document.documentElement.dataset.ready = "true";
})();

"use strict";
// The job's flow for the page: the read, the write run into the chosen folder or the
// downloads, the exports, opening a points file and choosing the folder, each outcome shown as
// a message box. The core decides; this turns its answers into dialogs and files.

class PageSession {
    // job: the core's PageJob; controls: the main window's controls; grid and preview: the
    // worksheet and the plan preview.
    constructor({ job, tables, controls, grid, preview }) {
        this.job = job;
        this.tables = tables;
        this.controls = controls;
        this.grid = grid;
        this.preview = preview;
        this.folder = null;
        // The folder kept from an earlier visit comes from IndexedDB while the page already
        // takes input; a write waits for it.
        this.folderKept = (Output.canChooseFolder() ? Output.folder() : Promise.resolve(null))
            .then((kept) => {
                this.folder = this.folder || kept;
                this.showFolder();
            });
    }

    refreshPreview() {
        this.preview.show(this.job.plan(this.controls.settings()));
    }

    // 座 標 読 込
    async readPoints() {
        const { grid, job } = this;
        grid.commitEdit();
        const outcome = job.read();
        grid.selectName(outcome.message.cell);
        const shown = Dialogs.show(outcome.message);
        // The message first; the preview of thousands of points is drawn in the frames after.
        requestAnimationFrame(() => setTimeout(() => this.refreshPreview(), 0));
        await shown;
    }

    // .SCR 出力
    async writeScripts() {
        const { grid, job } = this;
        grid.commitEdit();
        // The frame follows the sheet while the points follow the read: never mix two jobs.
        if (job.changedSinceRead()) {
            const answer = await Dialogs.ask(TEXTS.writeTitle, TEXTS.staleQuestion, TEXTS.staleButtons);
            if (answer === 0) {
                await this.readPoints();
                if (!job.hasRead() || job.changedSinceRead()) {
                    return;
                }
            } else if (answer !== 1) {
                return;
            }
        }
        await this.folderKept;
        let target = this.folder;
        let denied = false;
        if (target && !(await Output.permitted(target, true).catch(() => false))) {
            target = null;
            denied = true;
        }
        this.showFolder();
        const outcome = job.write(this.controls.settings(), target ? target.name : TEXTS.downloads);
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
                await Dialogs.tell(TEXTS.writeTitle, TEXTS.folderDenied(this.folder.name), true);
            }
            Output.download(outcome.files);
        }
        await Dialogs.show(outcome.message);
    }

    async showFolder() {
        const label = document.getElementById("folder-name");
        document.getElementById("usage-folder").textContent = TEXTS.usageFolder(this.folder && this.folder.name);
        if (!Output.canChooseFolder()) {
            label.textContent = "";
            document.getElementById("folder-button").hidden = true;
            return;
        }
        const { folder } = this;
        if (!folder) {
            label.textContent = TEXTS.folderUnchosen;
            return;
        }
        const granted = await Output.permitted(folder, false).catch(() => false);
        label.textContent = granted ? folder.name : `${folder.name} ${TEXTS.folderAsk}`;
    }

    async chooseFolder() {
        if (!Output.canChooseFolder()) {
            await Dialogs.tell(TEXTS.writeTitle, TEXTS.noFolderApi);
            return;
        }
        try {
            this.folder = await Output.chooseFolder();
        } catch (error) {
            if (error.name !== "AbortError") {
                await Dialogs.tell(TEXTS.writeTitle, error.message, true);
            }
        }
        this.showFolder();
    }

    // A SIMA or CSV/TSV file, from the file button or dropped on the page.
    async openFile(file) {
        const { grid, job } = this;
        grid.commitEdit();
        let bytes;
        try {
            // Beyond the limit the core refuses the file; reading more would only fill memory.
            bytes = new Uint8Array(await file.slice(0, this.tables.pointsFileLimit + 1).arrayBuffer());
        } catch (error) {
            await Dialogs.tell(TEXTS.openTitle, TEXTS.openFailed(file.name, error.message), true);
            return;
        }
        let replace = false;
        if (job.holdsAJob()) {
            const answer = await this.askReplace();
            if (answer !== 0 && answer !== 1) {
                return;
            }
            replace = answer === 0;
        }
        if (grid.apply(job.openFile(bytes, file.name, replace))) {
            grid.select(6, grid.columns[0].column);
        }
    }

    askReplace() {
        return Dialogs.ask(this.grid.title, TEXTS.replaceQuestion, TEXTS.replaceButtons);
    }

    async newSheet() {
        this.grid.commitEdit();
        const answer = await Dialogs.ask(this.grid.title, TEXTS.newSheetQuestion, TEXTS.newSheetButtons);
        if (answer === 0) {
            this.grid.apply(this.job.newSheet());
        }
    }

    // One file of the core's format table (DXF, SIMA, the area table, GeoJSON), downloaded.
    exportFile(format) {
        const outcome = this.job.exportFile(this.controls.settings(), format.token, TEXTS.exportName(format));
        if (!outcome.ok || outcome.message.warning) {
            Dialogs.show(outcome.message);
        }
        if (outcome.ok) {
            Output.download(outcome.files);
        }
    }
}

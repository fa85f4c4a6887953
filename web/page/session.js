"use strict";
// The page's side of the core's session: the read, the write run into the chosen folder or the
// downloads, the exports, opening a points file and choosing the folder. The core decides and
// words every question and message; this turns them into dialogs and files.

class PageSession {
    // job: the core's PageJob; controls: the main window's controls; grid and preview: the
    // worksheet and the plan preview; Module: the core's module, for its free functions.
    constructor({ Module, job, tables, controls, grid, preview }) {
        this.Module = Module;
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

    ask(question) {
        return Dialogs.ask(question.title, question.text, question.answers);
    }

    // A message of the core, its cell selected first.
    show(message) {
        this.grid.selectName(message.cell);
        return Dialogs.show(message);
    }

    // 座 標 読 込
    async readPoints() {
        this.grid.commitEdit();
        const outcome = this.job.read(this.controls.settings());
        const shown = this.show(outcome.message);
        // The message first; the preview of thousands of points is drawn in the frames after.
        requestAnimationFrame(() => setTimeout(() => this.refreshPreview(), 0));
        await shown;
    }

    // True when the read may be used ("write", "export"): a sheet changed since asks first
    // whether to read again, use the points read, or cancel.
    async confirmUse(use) {
        const question = this.job.questionBeforeUse(use);
        if (!question) {
            return true;
        }
        switch (this.Module.staleAnswer(await this.ask(question))) {
        case "readAgain":
            await this.readPoints();
            return this.job.readIsCurrent();
        case "useRead":
            return true;
        default:
            return false;
        }
    }

    // .SCR 出力
    async writeScripts() {
        const { grid, job, Module } = this;
        grid.commitEdit();
        // The frame follows the sheet while the points follow the read: never mix two jobs.
        if (!(await this.confirmUse("write"))) {
            return;
        }
        await this.folderKept;
        let target = this.folder;
        let denied = false;
        if (target && !(await Output.permitted(target, true).catch(() => false))) {
            target = null;
            denied = true;
        }
        this.showFolder();
        const outcome = job.write(this.controls.settings(), target ? target.name : "");
        if (!outcome.ok) {
            await this.show(outcome.message);
            return;
        }
        if (target) {
            try {
                await Output.writeInto(target, outcome.files);
            } catch (error) {
                await Dialogs.show(Module.folderMessage("writeFailed", target.name, error.message));
                return;
            }
        } else {
            if (denied) {
                await Dialogs.show(Module.folderMessage("denied", this.folder.name, ""));
            }
            Output.download(outcome.files);
        }
        await Dialogs.show(outcome.message);
    }

    async showFolder() {
        const label = document.getElementById("folder-name");
        document.getElementById("usage-folder").textContent =
            this.Module.usageFolderNote(this.folder ? this.folder.name : "");
        if (!Output.canChooseFolder()) {
            label.textContent = "";
            document.getElementById("folder-button").hidden = true;
            return;
        }
        const { folder, Module } = this;
        if (!folder) {
            label.textContent = Module.folderCaption("unchosen", "");
            return;
        }
        const granted = await Output.permitted(folder, false).catch(() => false);
        label.textContent = Module.folderCaption(granted ? "granted" : "askAgain", folder.name);
    }

    async chooseFolder() {
        const { Module } = this;
        if (!Output.canChooseFolder()) {
            await Dialogs.show(Module.folderMessage("noFolderPicker", "", ""));
            return;
        }
        try {
            this.folder = await Output.chooseFolder();
        } catch (error) {
            // A cancel is no failure; anything else is said in the surveyor's words.
            if (error.name !== "AbortError") {
                await Dialogs.show(Module.folderMessage("pickerFailed", "", error.name || String(error)));
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
            await Dialogs.show(this.Module.openFailure(file.name, error.message));
            return;
        }
        // Only a file that can be opened asks whether it replaces the job.
        const refusal = job.openRefusal(bytes, file.name);
        if (refusal) {
            await this.show(refusal);
            return;
        }
        let replace = false;
        // A table of marks fills in the job on the sheet: nothing to replace.
        if (job.holdsAJob() && !job.addsToTheJob(bytes, file.name)) {
            const answer = this.Module.replaceAnswer(await this.askReplace());
            if (answer === "cancel") {
                return;
            }
            replace = answer === "replace";
        }
        if (grid.apply(job.openFile(bytes, file.name, replace))) {
            grid.select(6, grid.columns[0].column);
        }
    }

    askReplace() {
        return this.ask(this.job.replaceQuestion());
    }

    async newSheet() {
        this.grid.commitEdit();
        if ((await this.ask(this.job.newSheetQuestion())) === 0) {
            this.grid.apply(this.job.newSheet());
        }
    }

    // 「PDF・印刷…」: the sheet at true scale, of a plan the write run would write.
    async print() {
        this.grid.commitEdit();
        if (!(await this.confirmUse("export"))) {
            return;
        }
        const refusal = this.job.exportRefusal(this.controls.settings());
        if (refusal) {
            await this.show(refusal);
            return;
        }
        this.refreshPreview();
        window.print();
    }

    // One file of the core's format table (DXF, SIMA, the area table, GeoJSON), downloaded
    // under the format's own name; refused where the write run would refuse.
    async exportFile(format) {
        this.grid.commitEdit();
        if (!(await this.confirmUse("export"))) {
            return;
        }
        const outcome = this.job.exportFile(this.controls.settings(), format.token);
        if (!outcome.ok || outcome.message.warning) {
            this.show(outcome.message);
        }
        if (outcome.ok) {
            Output.download(outcome.files);
        }
    }
}

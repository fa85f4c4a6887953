"use strict";
// The main window's controls: the edition buttons, the paper, scale and coordinate-system lists
// filled from the core's tables, the angle box, the survey map's checkbox and its 図面情報. The
// choices are kept by the browser for the next visit; each change is reported through changed().

class Controls {
    // checkDrawingInfo: the core's check of the 図面情報 typed ({field, message} or null);
    // parcelNames: the names of the job's parcels.
    constructor(tables, changed, checkDrawingInfo, parcelNames) {
        const byId = (id) => document.getElementById(id);
        this.tables = tables;
        this.changed = changed;
        this.drawingInfo = new DrawingInfo(
            tables,
            Output.loadSettings().drawingInfo,
            checkDrawingInfo,
            () => {
                this.save();
                this.changed();
            },
            parcelNames,
        );
        this.paper = byId("paper");
        this.scale = byId("scale");
        this.angle = byId("angle");
        this.planeSystem = byId("plane-system");
        this.surveyMap = byId("survey-map");
        this.editionButtons = [];
        this.edition = "";

        for (const entry of tables.papers) {
            this.paper.append(new Option(entry.caption, entry.token));
        }
        for (const entry of tables.scales) {
            this.scale.append(new Option(entry.caption, entry.token));
        }
        for (const entry of tables.planeSystems) {
            this.planeSystem.append(new Option(entry.caption, String(entry.number)));
        }
        for (const entry of tables.editions) {
            const button = document.createElement("button");
            button.type = "button";
            button.className = "edition";
            button.textContent = entry.caption;
            button.dataset.code = entry.code;
            button.setAttribute("aria-pressed", "false");
            button.addEventListener("click", () => this.chooseEdition(entry.code));
            byId("editions").append(button);
            this.editionButtons.push(button);
        }
        this.restore();
        this.listen();
    }

    chooseEdition(code) {
        this.edition = code;
        for (const button of this.editionButtons) {
            button.setAttribute("aria-pressed", String(button.dataset.code === code));
        }
        this.save();
    }

    // The settings as the controls hold them at this moment, as the core takes them.
    settings() {
        return {
            edition: this.edition,
            paper: this.paper.value,
            scale: this.scale.value,
            angle: this.angle.value,
            planeSystem: Number(this.planeSystem.value),
            surveyMap: this.surveyMap.checked,
            drawingInfo: this.drawingInfo.fields,
        };
    }

    // The fit check's suggestion.
    choosePaperAndScale(paperToken, scaleToken) {
        this.paper.value = paperToken;
        this.scale.value = scaleToken;
        this.save();
        this.changed();
    }

    save() {
        Output.saveSettings(this.settings());
    }

    // The choices of an earlier visit, where the tables still hold them.
    restore() {
        const { tables } = this;
        const kept = Output.loadSettings();
        if (tables.editions.some((e) => e.code === kept.edition)) {
            this.chooseEdition(kept.edition);
        }
        if (tables.papers.some((p) => p.token === kept.paper)) {
            this.paper.value = kept.paper;
        }
        if (tables.scales.some((s) => s.token === kept.scale)) {
            this.scale.value = kept.scale;
        }
        if (typeof kept.angle === "string") {
            this.angle.value = kept.angle;
        }
        if (tables.planeSystems.some((s) => s.number === kept.planeSystem)) {
            this.planeSystem.value = String(kept.planeSystem);
        }
        this.surveyMap.checked = kept.surveyMap === true;
    }

    listen() {
        const { angle } = this;
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
        const changed = () => {
            this.save();
            this.changed();
        };
        for (const control of [this.paper, this.scale, this.planeSystem, this.surveyMap]) {
            control.addEventListener("change", changed);
        }
        angle.addEventListener("input", changed);
    }
}

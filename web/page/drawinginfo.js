"use strict";
// 図面情報: the survey map's land category, title block fields, neighbouring lots and
// subdivision, in a dialog as the desktop program's. The core checks what is typed before it
// is taken; the fields go with the settings to every plan, write and export.

class DrawingInfo {
    // kept: the fields of an earlier visit; changed: called once new fields are taken;
    // parcelNames: the job's parcels, offered as the subdivision's parent and remainder.
    constructor(tables, kept, check, changed, parcelNames) {
        const byId = (id) => document.getElementById(id);
        this.check = check;
        this.changed = changed;
        this.parcelNames = parcelNames;
        this.parcelList = byId("info-parcels");
        this.dialog = byId("drawing-info");
        this.problem = byId("info-problem");
        this.inputs = {
            location: byId("info-location"),
            lotNumber: byId("info-lot-number"),
            landCategory: byId("info-land-category"),
            surveyDate: byId("info-survey-date"),
            date: byId("info-date"),
            applicant: byId("info-applicant"),
            surveyor: byId("info-surveyor"),
            neighbours: byId("info-neighbours"),
            subdivisionOf: byId("info-subdivision-of"),
            signs: byId("info-signs"),
            registeredArea: byId("info-registered-area"),
            accuracyClass: byId("info-accuracy-class"),
            remainder: byId("info-remainder"),
        };
        for (const [list, table] of [
            [this.inputs.landCategory, tables.landCategories],
            [this.inputs.signs, tables.signStyles],
            [this.inputs.accuracyClass, tables.accuracyClasses],
        ]) {
            for (const entry of table) {
                list.append(new Option(entry.caption, entry.token));
            }
        }
        this.fields = {};
        for (const name of Object.keys(this.inputs)) {
            this.fields[name] = kept && typeof kept[name] === "string" ? kept[name] : "";
        }
        // A list's choice that an older page kept and the table no longer has: the first.
        for (const [name, table] of [["landCategory", tables.landCategories], ["signs", tables.signStyles]]) {
            if (!table.some((c) => c.token === this.fields[name])) {
                this.fields[name] = table[0].token;
            }
        }
        if (!tables.accuracyClasses.some((c) => c.token === this.fields.accuracyClass)) {
            this.fields.accuracyClass = "";
        }
        byId("drawing-info-button").addEventListener("click", () => this.open());
        byId("info-ok").addEventListener("click", () => this.accept());
        byId("info-cancel").addEventListener("click", () => this.dialog.close());
    }

    open() {
        for (const [name, input] of Object.entries(this.inputs)) {
            input.value = this.fields[name];
        }
        this.parcelList.replaceChildren(...this.parcelNames().map((name) => new Option(name)));
        this.inputs.date.placeholder = `空欄なら作成する日（${DrawingInfo.today()}）`;
        this.problem.hidden = true;
        this.dialog.showModal();
        this.inputs.location.focus();
    }

    accept() {
        const typed = {};
        for (const [name, input] of Object.entries(this.inputs)) {
            typed[name] = name === "neighbours" ? input.value : input.value.trim();
        }
        const problem = this.check(typed);
        if (problem) {
            this.problem.textContent = problem.message;
            this.problem.hidden = false;
            const field = this.inputs[problem.field];
            field.focus();
            if (field.select) {
                field.select();
            }
            return;
        }
        this.fields = typed;
        this.dialog.close();
        this.changed();
    }

    static today() {
        const now = new Date();
        const two = (n) => String(n).padStart(2, "0");
        return `${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())}`;
    }
}

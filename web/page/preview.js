"use strict";
// The plan as the drawing program will draw it, before any script runs: frame, lines,
// circles and names in the layer colours, north up, from the core's plan. The wheel zooms,
// a drag pans, a click on a point selects its row. The same drawing, turned so that the
// frame is upright, is the true-scale print: one sheet of the chosen paper in millimetres.

const SVG = "http://www.w3.org/2000/svg";
// A point's marker in drawing units: small beside a 3-unit name.
const MARKER_RADIUS = 0.4;

function svgElement(name, attributes = {}) {
    const element = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) {
        element.setAttribute(key, value);
    }
    return element;
}

// Numbers for SVG attributes: enough digits for survey coordinates, no more.
const n = (value) => String(Math.round(value * 1e4) / 1e4);

class PlanPreview {
    // hooks: pointClicked(slot), cellRequested(name), applySuggestion(paper, scale)
    constructor(hooks) {
        this.hooks = hooks;
        this.svg = document.getElementById("plan");
        this.counts = document.getElementById("counts");
        this.fitText = document.getElementById("fit-text");
        this.apply = document.getElementById("apply-suggestion");
        this.warnings = document.getElementById("warnings");
        this.printSheet = document.getElementById("print-sheet");
        this.pageSize = document.getElementById("page-size");
        this.plan = null;
        this.view = null;
        this.fittedPoints = -1;
        this.drawing = svgElement("g", { id: "plan-drawing" });
        this.markers = svgElement("g", { class: "markers" });
        this.svg.append(this.drawing, this.markers);
        this.listen();
        document.getElementById("fit-button").addEventListener("click", () => this.fitAll());
        document.getElementById("light-background").addEventListener("change", (event) => {
            this.svg.classList.toggle("light", event.target.checked);
        });
        this.apply.addEventListener("click", () => {
            if (this.suggestion) {
                this.hooks.applySuggestion(this.suggestion.paper, this.suggestion.scale);
            }
        });
    }

    // A plan of the core, or {problem} when there is none to draw.
    show(plan) {
        this.drawing.replaceChildren();
        this.markers.replaceChildren();
        this.warnings.replaceChildren();
        this.suggestion = null;
        this.apply.hidden = true;
        if (plan.problem) {
            this.plan = null;
            this.counts.textContent = plan.problem;
            this.fitText.textContent = "";
            this.svg.classList.add("empty");
            this.printSheet.replaceChildren();
            this.setExportsEnabled(false);
            return;
        }
        this.plan = plan;
        this.svg.classList.remove("empty");
        this.setExportsEnabled(true);
        this.draw(plan);
        const lines = plan.lines.starts.length - 1 - plan.lines.frameCount;
        this.counts.textContent = TEXTS.counts(plan.points.names.length, lines,
                                               plan.circles.length / 3, plan.labels.texts.length);
        this.fitText.textContent = plan.fitText;
        if (plan.suggestedScale) {
            this.suggestion = { paper: plan.suggestedPaper, scale: plan.suggestedScale };
            this.apply.textContent = plan.suggestionCaption;
            this.apply.hidden = false;
        }
        for (const warning of plan.warnings) {
            const item = document.createElement("li");
            const cell = /セル ([A-Z]+[0-9]+)/.exec(warning);
            if (cell) {
                const link = document.createElement("button");
                link.type = "button";
                link.className = "link";
                link.textContent = warning;
                link.addEventListener("click", () => this.hooks.cellRequested(cell[1]));
                item.append(link);
            } else {
                item.textContent = warning;
            }
            this.warnings.append(item);
        }
        // A new job is shown whole; a change of paper, scale or angle keeps the view.
        if (!this.view || plan.points.names.length !== this.fittedPoints) {
            this.fittedPoints = plan.points.names.length;
            this.fitAll();
        } else {
            this.applyView();
        }
        this.preparePrint(plan);
    }

    setExportsEnabled(enabled) {
        for (const id of ["dxf-button", "sima-button", "print-button", "fit-button"]) {
            document.getElementById(id).disabled = !enabled;
        }
    }

    draw(plan) {
        const { xy, starts, layers, closed } = plan.lines;
        const kinds = ["frame", "line", "plot", "label"];
        for (let i = 0; i + 1 < starts.length; ++i) {
            let d = "";
            for (let v = starts[i]; v < starts[i + 1]; ++v) {
                d += `${v === starts[i] ? "M" : "L"}${n(xy[2 * v])} ${n(-xy[2 * v + 1])}`;
            }
            if (closed[i]) {
                d += "Z";
            }
            const kind = i < plan.lines.frameCount ? "frame" : kinds[layers[i]];
            this.drawing.append(svgElement("path", { d, class: `layer-${layers[i]} ${kind}` }));
        }
        const c = plan.circles;
        for (let i = 0; i < c.length; i += 3) {
            // A negative radius is drawn with its size, as the drawing program takes it.
            this.drawing.append(svgElement("circle", {
                cx: n(c[i]), cy: n(-c[i + 1]), r: n(Math.abs(c[i + 2])), class: "layer-2 plot",
            }));
        }
        const { texts, places } = plan.labels;
        texts.forEach((text, i) => {
            const [x, y, height, rotation] = places.subarray(4 * i, 4 * i + 4);
            const label = svgElement("text", {
                x: n(x), y: n(-y), "font-size": n(height), class: "layer-3 label",
            });
            if (rotation) {
                label.setAttribute("transform", `rotate(${n(-rotation)} ${n(x)} ${n(-y)})`);
            }
            label.textContent = text;
            this.drawing.append(label);
        });
        const world = plan.points.world;
        const survey = plan.points.survey;
        plan.points.names.forEach((name, slot) => {
            const marker = svgElement("circle", {
                cx: n(world[2 * slot]), cy: n(-world[2 * slot + 1]), r: MARKER_RADIUS,
                class: "marker", "data-slot": slot,
            });
            const title = svgElement("title");
            title.textContent = TEXTS.pointTooltip(name, slot + 6, survey[2 * slot].toFixed(3),
                                                   survey[2 * slot + 1].toFixed(3));
            marker.append(title);
            this.markers.append(marker);
        });
    }

    // Everything drawn, with a small margin.
    bounds() {
        const box = this.drawing.getBBox();
        const margin = Math.max(box.width, box.height) * 0.02 + 1;
        return { x: box.x - margin, y: box.y - margin, w: box.width + 2 * margin, h: box.height + 2 * margin };
    }

    fitAll() {
        if (!this.plan) {
            return;
        }
        this.view = this.bounds();
        this.applyView();
    }

    applyView() {
        const v = this.view;
        this.svg.setAttribute("viewBox", `${v.x} ${v.y} ${v.w} ${v.h}`);
    }

    // The drawing position under a point of the screen.
    toDrawing(clientX, clientY) {
        const matrix = this.svg.getScreenCTM();
        if (!matrix) {
            return { x: 0, y: 0 };
        }
        const p = new DOMPoint(clientX, clientY).matrixTransform(matrix.inverse());
        return { x: p.x, y: p.y };
    }

    listen() {
        this.svg.addEventListener("wheel", (event) => {
            if (!this.plan) {
                return;
            }
            event.preventDefault();
            const at = this.toDrawing(event.clientX, event.clientY);
            const factor = Math.exp(event.deltaY * 0.0015);
            const v = this.view;
            this.view = {
                x: at.x - (at.x - v.x) * factor,
                y: at.y - (at.y - v.y) * factor,
                w: v.w * factor,
                h: v.h * factor,
            };
            this.applyView();
        }, { passive: false });
        this.svg.addEventListener("pointerdown", (event) => {
            if (!this.plan || event.button !== 0) {
                return;
            }
            const marker = event.target.closest(".marker");
            if (marker) {
                this.hooks.pointClicked(Number(marker.dataset.slot));
                return;
            }
            const start = this.toDrawing(event.clientX, event.clientY);
            this.svg.setPointerCapture(event.pointerId);
            const drag = (move) => {
                const now = this.toDrawing(move.clientX, move.clientY);
                this.view.x -= now.x - start.x;
                this.view.y -= now.y - start.y;
                this.applyView();
            };
            const stop = () => {
                this.svg.removeEventListener("pointermove", drag);
                this.svg.removeEventListener("pointerup", stop);
                this.svg.removeEventListener("pointercancel", stop);
            };
            this.svg.addEventListener("pointermove", drag);
            this.svg.addEventListener("pointerup", stop);
            this.svg.addEventListener("pointercancel", stop);
        });
    }

    // The print: the page is the chosen sheet and the frame its edge, the drawing turned so
    // that the frame stands upright, in millimetres at the scale.
    preparePrint(plan) {
        this.printSheet.replaceChildren();
        if (!plan.sheetWidth || !plan.scaleFactor) {
            return;
        }
        const { xy, starts } = plan.lines;
        const corner = (i) => ({ x: xy[2 * i], y: -xy[2 * i + 1] });
        const [a, b, c] = [corner(starts[0]), corner(starts[0] + 1), corner(starts[0] + 2)];
        const across = plan.sheetWidth * plan.scaleFactor;
        const first = Math.hypot(b.x - a.x, b.y - a.y);
        const second = Math.hypot(c.x - b.x, c.y - b.y);
        // The edge as long as the sheet is wide lies along the page.
        const [from, to] = Math.abs(first - across) <= Math.abs(second - across) ? [a, b] : [b, c];
        let turn = -Math.atan2(to.y - from.y, to.x - from.x) * 180 / Math.PI;
        while (turn > 90) {
            turn -= 180;
        }
        while (turn <= -90) {
            turn += 180;
        }
        const centre = { x: (a.x + c.x) / 2, y: (a.y + c.y) / 2 };
        const width = across;
        const height = plan.sheetHeight * plan.scaleFactor;
        const sheet = svgElement("svg", {
            width: `${plan.sheetWidth}mm`,
            height: `${plan.sheetHeight}mm`,
            viewBox: `${n(centre.x - width / 2)} ${n(centre.y - height / 2)} ${n(width)} ${n(height)}`,
        });
        const turned = svgElement("g", { transform: `rotate(${turn} ${n(centre.x)} ${n(centre.y)})` });
        turned.append(svgElement("use", { href: "#plan-drawing" }));
        sheet.append(turned);
        this.printSheet.append(sheet);
        this.pageSize.textContent =
            `@page { size: ${plan.sheetWidth}mm ${plan.sheetHeight}mm; margin: 0; }`;
    }
}

"use strict";
// The plan as the drawing program will draw it, before any script runs: frame, lines,
// circles and names in the layer colours, north up, from the core's plan; or, with the survey
// map asked for, the map's sheets in its place, as the DXF has them. The wheel zooms, a drag
// pans, a click on a point selects its row. The same drawing is the true-scale print (see
// print.js).

const SVG = "http://www.w3.org/2000/svg";
// A point's marker in drawing units: small beside a 3-unit name.
const MARKER_RADIUS = 0.4;
// Names drawn smaller than this many pixels are not drawn on the screen (the print has them).
const MIN_LABEL_PIXELS = 3;
// The survey map's texts: the font's em to the text's height on paper, so that capitals
// stand about as tall as the drawing programs draw them (as the desktop program does).
const EM_PER_HEIGHT = 1.15;

function svgElement(name, attributes = {}) {
    const element = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) {
        element.setAttribute(key, value);
    }
    return element;
}

// Numbers for SVG attributes: enough digits for survey coordinates, no more.
const n = (value) => String(Math.round(value * 1e4) / 1e4);
const escapeXml = (text) =>
    text.replace(/[&<>"]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c]);

class PlanPreview {
    // hooks: pointClicked(slot), cellRequested(name), applySuggestion(paper, scale),
    // pointTip(slot)
    constructor(hooks) {
        this.hooks = hooks;
        this.svg = document.getElementById("plan");
        this.counts = document.getElementById("counts");
        this.fitText = document.getElementById("fit-text");
        this.apply = document.getElementById("apply-suggestion");
        this.warnings = document.getElementById("warnings");
        this.print = new SheetPrint(document.getElementById("print-sheet"),
                                    document.getElementById("page-size"));
        this.tip = document.getElementById("point-tip");
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
        // The print sheet exists only while printing: its copy of the drawing costs as much
        // as the drawing.
        window.addEventListener("beforeprint", () => {
            this.drawLabels();
            this.print.prepare(this.plan);
        });
        window.addEventListener("afterprint", () => this.print.clear());
        this.mapButton = document.getElementById("map-button");
        this.mapButton.addEventListener("click", () => {
            if (this.plan && this.plan.mapAddress) {
                window.open(this.plan.mapAddress, "_blank", "noopener");
            }
        });
        this.apply.addEventListener("click", () => {
            if (this.suggestion) {
                this.hooks.applySuggestion(this.suggestion.paper, this.suggestion.scale);
            }
        });
    }

    // A plan of the core, or {problem} when there is none to draw.
    show(plan) {
        // Counts the plans shown, for a watcher that waits for one (a test, the benchmark).
        this.svg.dataset.shown = String(Number(this.svg.dataset.shown || 0) + 1);
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
            this.setExportsEnabled(false);
            this.showMapButton(null);
            return;
        }
        this.plan = plan;
        this.svg.classList.remove("empty");
        this.setExportsEnabled(true);
        this.showMapButton(plan);
        this.draw(plan);
        this.counts.textContent = plan.counts;
        this.fitText.textContent = plan.fitText;
        if (plan.suggestedScale) {
            this.suggestion = { paper: plan.suggestedPaper, scale: plan.suggestedScale };
            this.apply.textContent = plan.suggestionCaption;
            this.apply.hidden = false;
        }
        for (const warning of plan.warnings) {
            const item = document.createElement("li");
            if (warning.cell) {
                const link = document.createElement("button");
                link.type = "button";
                link.className = "link";
                link.textContent = warning.text;
                link.addEventListener("click", () => this.hooks.cellRequested(warning.cell));
                item.append(link);
            } else {
                item.textContent = warning.text;
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
    }

    // The map needs a coordinate system; without one the button's tip says why.
    showMapButton(plan) {
        const button = this.mapButton;
        button.disabled = !plan || !plan.mapAddress;
        if (!plan) {
            button.removeAttribute("title");
        } else if (!plan.mapAddress) {
            button.title = plan.mapUnavailable;
        } else {
            button.title = plan.mapAddress;
        }
    }

    setExportsEnabled(enabled) {
        const buttons = document.querySelectorAll("#exports button, #print-button, #fit-button");
        for (const button of buttons) {
            button.disabled = !enabled;
        }
    }

    // The points' places in the drawing, as [x, y, …], and the row of each: the map's marks
    // where the map is drawn.
    pointPlaces() {
        const map = this.plan.surveyMap;
        if (map) {
            return { world: map.marks, slots: map.markSlots };
        }
        return { world: this.plan.points.world, slots: null };
    }

    // The drawing as one piece of markup: thousands of names are drawn at once, not element
    // by element. The points are one path of small rings; a click finds the nearest.
    draw(plan) {
        this.labelsDrawn = false;
        if (plan.surveyMap) {
            this.drawMap(plan.surveyMap);
        } else {
            this.drawPlan(plan);
        }
        const { world } = this.pointPlaces();
        let rings = "";
        const r = MARKER_RADIUS;
        for (let i = 0; i < world.length; i += 2) {
            rings += `M${n(world[i] - r)} ${n(-world[i + 1])}a${r} ${r} 0 1 0 ${2 * r} 0a${r} ${r} 0 1 0 ${-2 * r} 0`;
        }
        this.markers.innerHTML = `<path class="marker" d="${rings}"/>`;
    }

    // The map's sheets: their lines one path per colour, the circles, and the texts once
    // they are big enough to read (drawLabels).
    drawMap(map) {
        const { xy, starts, colours, closed } = map.lines;
        const paths = new Map();
        for (let i = 0; i + 1 < starts.length; ++i) {
            let d = "";
            for (let v = starts[i]; v < starts[i + 1]; ++v) {
                d += `${v === starts[i] ? "M" : "L"}${n(xy[2 * v])} ${n(-xy[2 * v + 1])}`;
            }
            paths.set(colours[i], (paths.get(colours[i]) || "") + d + (closed[i] ? "Z" : ""));
        }
        const c = map.circles;
        for (let i = 0; i < c.length; i += 3) {
            const r = n(c[i + 2]);
            const d = `M${n(c[i] - c[i + 2])} ${n(-c[i + 1])}a${r} ${r} 0 1 0 ${n(2 * c[i + 2])} 0` +
                      `a${r} ${r} 0 1 0 ${n(-2 * c[i + 2])} 0`;
            const colour = map.circleColours[i / 3];
            paths.set(colour, (paths.get(colour) || "") + d);
        }
        const parts = [];
        for (const [colour, d] of paths) {
            parts.push(`<path d="${d}" class="colour-${colour}"/>`);
        }
        this.drawing.innerHTML = parts.join("");
    }

    drawPlan(plan) {
        const { xy, starts, layers, closed } = plan.lines;
        const kinds = ["frame", "line", "plot", "label"];
        const parts = [];
        for (let i = 0; i + 1 < starts.length; ++i) {
            let d = "";
            for (let v = starts[i]; v < starts[i + 1]; ++v) {
                d += `${v === starts[i] ? "M" : "L"}${n(xy[2 * v])} ${n(-xy[2 * v + 1])}`;
            }
            if (closed[i]) {
                d += "Z";
            }
            const kind = i < plan.lines.frameCount ? "frame" : kinds[layers[i]];
            parts.push(`<path d="${d}" class="layer-${layers[i]} ${kind}"/>`);
        }
        const c = plan.circles;
        for (let i = 0; i < c.length; i += 3) {
            // A negative radius is drawn with its size, as the drawing program takes it.
            parts.push(`<circle cx="${n(c[i])}" cy="${n(-c[i + 1])}" r="${n(Math.abs(c[i + 2]))}" class="layer-2 plot"/>`);
        }
        this.drawing.innerHTML = parts.join("");
    }

    // The names, once they are big enough to read or a print asks for them: thousands of
    // them cost the browser more than the rest of the drawing.
    drawLabels() {
        if (!this.plan || this.labelsDrawn) {
            return;
        }
        if (this.plan.surveyMap) {
            this.drawMapTexts(this.plan.surveyMap);
            return;
        }
        const { texts, places, slots } = this.plan.labels;
        const parts = [];
        texts.forEach((text, i) => {
            const x = n(places[4 * i]);
            const y = n(-places[4 * i + 1]);
            const rotation = places[4 * i + 3];
            const turn = rotation ? ` transform="rotate(${n(-rotation)} ${x} ${y})"` : "";
            parts.push(`<text x="${x}" y="${y}" font-size="${n(places[4 * i + 2])}"${turn} ` +
                       `class="layer-3 label" data-slot="${slots[i]}">${escapeXml(text)}</text>`);
        });
        this.drawing.insertAdjacentHTML("beforeend", parts.join(""));
        this.labelsDrawn = true;
    }

    // The map's texts at their height on paper, in a font whose capitals stand about as tall,
    // each kept within the width the core allows it: a text of full-width characters, which
    // the font draws a little wider, is narrowed to it.
    drawMapTexts(map) {
        const { texts, places, colours, slots } = map.texts;
        const anchors = ["start", "middle", "end"];
        const parts = [];
        texts.forEach((text, i) => {
            const [x, y, height, rotation, width, alignment] = places.subarray(6 * i, 6 * i + 6);
            const turn = rotation ? ` transform="rotate(${n(-rotation)} ${n(x)} ${n(-y)})"` : "";
            const narrowed = /[^\x00-\x7f]/.test(text)
                ? ` textLength="${n(width)}" lengthAdjust="spacingAndGlyphs"` : "";
            parts.push(`<text x="${n(x)}" y="${n(-y)}" font-size="${n(height * EM_PER_HEIGHT)}"` +
                       ` text-anchor="${anchors[alignment]}"${turn}${narrowed}` +
                       ` class="colour-${colours[i]} label" data-slot="${slots[i]}">` +
                       `${escapeXml(text)}</text>`);
        });
        this.drawing.insertAdjacentHTML("beforeend", parts.join(""));
        this.labelsDrawn = true;
    }

    // Everything drawn, with a small margin: from the plan's numbers, without asking the
    // browser to lay out thousands of names.
    bounds() {
        const box = { x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity };
        const take = (x, y) => {
            box.x0 = Math.min(box.x0, x);
            box.x1 = Math.max(box.x1, x);
            box.y0 = Math.min(box.y0, y);
            box.y1 = Math.max(box.y1, y);
        };
        const map = this.plan.surveyMap;
        if (map) {
            for (let i = 0; i < map.sheets.length; i += 4) {
                take(map.sheets[i], -map.sheets[i + 1]);
                take(map.sheets[i + 2], -map.sheets[i + 3]);
            }
            return this.withMargin(box);
        }
        const { xy } = this.plan.lines;
        for (let i = 0; i < xy.length; i += 2) {
            take(xy[i], -xy[i + 1]);
        }
        const c = this.plan.circles;
        for (let i = 0; i < c.length; i += 3) {
            const r = Math.abs(c[i + 2]);
            take(c[i] - r, -c[i + 1] - r);
            take(c[i] + r, -c[i + 1] + r);
        }
        const { texts, places } = this.plan.labels;
        texts.forEach((text, i) => {
            const [x, y, height] = places.subarray(4 * i, 4 * i + 3);
            take(x, -y - height);
            take(x + height * text.length, -y);
        });
        const world = this.plan.points.world;
        for (let i = 0; i < world.length; i += 2) {
            take(world[i], -world[i + 1]);
        }
        return this.withMargin(box);
    }

    withMargin(box) {
        const w = box.x1 - box.x0;
        const h = box.y1 - box.y0;
        const margin = Math.max(w, h) * 0.02 + 1;
        return { x: box.x0 - margin, y: box.y0 - margin, w: w + 2 * margin, h: h + 2 * margin };
    }

    // The point nearest to a place on the screen within a few pixels; -1 when there is none.
    pointAt(clientX, clientY) {
        const at = this.toDrawing(clientX, clientY);
        const matrix = this.svg.getScreenCTM();
        const tolerance = 6 / (matrix ? matrix.a : 1);
        const { world, slots } = this.pointPlaces();
        let best = -1;
        let bestDistance = tolerance;
        for (let i = 0; i < world.length; i += 2) {
            const distance = Math.hypot(world[i] - at.x, -world[i + 1] - at.y);
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = slots ? slots[i / 2] : i / 2;
            }
        }
        return best;
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
        // Names too small to read are left out of the picture until the view comes closer.
        const scale = Math.min(this.svg.clientWidth / v.w, this.svg.clientHeight / v.h);
        const map = this.plan && this.plan.surveyMap;
        const height = map ? map.texts.places[2] || 3 : this.plan ? this.plan.labels.places[2] || 3 : 3;
        const tiny = height * scale < MIN_LABEL_PIXELS;
        this.svg.classList.toggle("tiny-labels", tiny);
        if (!tiny) {
            this.drawLabels();
        }
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

    // The point under the pointer: its name, row and coordinates.
    showTip(event) {
        const slot = this.plan && event.buttons === 0 ? this.pointAt(event.clientX, event.clientY) : -1;
        if (slot < 0) {
            this.tip.hidden = true;
            return;
        }
        this.tip.textContent = this.hooks.pointTip(slot);
        const panel = this.svg.parentElement.getBoundingClientRect();
        this.tip.style.left = `${event.clientX - panel.left + 12}px`;
        this.tip.style.top = `${event.clientY - panel.top + 12}px`;
        this.tip.hidden = false;
    }

    listen() {
        this.svg.addEventListener("pointermove", (event) => this.showTip(event));
        this.svg.addEventListener("pointerleave", () => {
            this.tip.hidden = true;
        });
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
            // A point, or a name, selects its row.
            const label = event.target.closest(".label");
            const slot = label ? Number(label.dataset.slot) : this.pointAt(event.clientX, event.clientY);
            if (slot >= 0) {
                this.hooks.pointClicked(slot);
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
}

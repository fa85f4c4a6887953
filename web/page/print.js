"use strict";
// The print of the preview's drawing at true scale: a page the size of the chosen paper for
// each sheet, the sheet's edge the page's. The plan's one sheet is turned so that its frame
// stands upright; the survey map's sheets stand upright in the world already, side by side.
// Each page shows the preview's drawing through its own window onto it.

class SheetPrint {
    constructor(sheetElement, pageSizeElement) {
        this.sheet = sheetElement;
        this.pageSize = pageSizeElement;
    }

    clear() {
        this.sheet.replaceChildren();
    }

    prepare(plan) {
        this.clear();
        if (!plan) {
            return;
        }
        const map = plan.surveyMap;
        if (map && map.paperWidth && map.sheets.length) {
            for (let i = 0; i < map.sheets.length; i += 4) {
                const [x0, y0, x1, y1] = map.sheets.subarray(i, i + 4);
                this.addPage(map.paperWidth, map.paperHeight,
                             { x: (x0 + x1) / 2, y: -(y0 + y1) / 2 }, x1 - x0, y1 - y0, 0);
            }
            this.setPageSize(map.paperWidth, map.paperHeight);
            return;
        }
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
        this.addPage(plan.sheetWidth, plan.sheetHeight, centre, across,
                     plan.sheetHeight * plan.scaleFactor, turn);
        this.setPageSize(plan.sheetWidth, plan.sheetHeight);
    }

    // A page of width × height millimetres showing the drawing's window of that size in
    // drawing units about the centre, turned by the angle.
    addPage(widthMm, heightMm, centre, width, height, turn) {
        const page = svgElement("svg", {
            width: `${widthMm}mm`,
            height: `${heightMm}mm`,
            viewBox: `${n(centre.x - width / 2)} ${n(centre.y - height / 2)} ${n(width)} ${n(height)}`,
        });
        const turned = svgElement("g", turn ? { transform: `rotate(${turn} ${n(centre.x)} ${n(centre.y)})` } : {});
        turned.append(svgElement("use", { href: "#plan-drawing" }));
        page.append(turned);
        this.sheet.append(page);
    }

    setPageSize(widthMm, heightMm) {
        this.pageSize.textContent = `@page { size: ${widthMm}mm ${heightMm}mm; margin: 0; }`;
    }
}

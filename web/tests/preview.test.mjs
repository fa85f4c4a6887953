// The plan preview and the print: what it draws against the tool's DXF, a click on a point,
// the fit check and its suggestion, and the printed PDF at true scale on a page the size of
// the sheet; the survey map's sheets on screen and on paper, a page each.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import {
    answer, button, chooseSettings, join, launch, openPage, pasteAt, readFileSync, runCli, top,
    workedExample, workFolder, writeFileSync,
} from "./support.mjs";

const worked = readFileSync(workedExample, "utf8");
const MM = 72 / 25.4;

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

// Entities of a DXF by type, and the layer of each.
function dxfEntities(bytes) {
    const lines = bytes.toString("latin1").split(/\r?\n/).map((l) => l.trim());
    const entities = [];
    let inEntities = false;
    for (let i = 0; i + 1 < lines.length; i += 2) {
        const [code, value] = [lines[i], lines[i + 1]];
        if (code === "2" && value === "ENTITIES") {
            inEntities = true;
        } else if (code === "0" && value === "ENDSEC") {
            inEntities = false;
        } else if (inEntities && code === "0") {
            entities.push({ type: value, layer: "" });
        } else if (inEntities && code === "8" && entities.length) {
            entities[entities.length - 1].layer ||= value;
        }
    }
    return entities;
}

async function workedAndRead(page, settings) {
    await pasteAt(page, "A6", worked);
    await chooseSettings(page, settings);
    await button(page, "座 標 読 込").click();
    await answer(page);
}

describe("the preview", () => {
    test("draws what the tool's DXF holds: lines, circles and names on their layers", async () => {
        const page = await openPage(browser.context);
        assert.match(await page.locator("#counts").textContent(), /「座 標 読 込」/);
        const settings = { edition: "2000", paper: "A2", scale: "400", angle: "30.0000" };
        await workedAndRead(page, settings);
        const cli = runCli(["--edition", "2000", "--paper", "A2", "--scale", "400", "--angle", "30.0000",
                            "--dxf", "plan.dxf"], workedExample);
        const entities = dxfEntities(cli.files["plan.dxf"]);
        const count = (type, layer) => entities.filter((e) => e.type === type && e.layer === layer).length;
        const svg = page.locator("#plan");
        // Closer, so that the names are big enough to be drawn.
        const box = await svg.boundingBox();
        await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
        for (let i = 0; i < 4; ++i) {
            await page.mouse.wheel(0, -200);
        }
        await page.waitForFunction(() => !document.getElementById("plan").classList.contains("tiny-labels"));
        assert.equal(await svg.locator("path.frame").count(), count("POLYLINE", "P_WAKU"));
        assert.equal(await svg.locator("path.line").count(), count("POLYLINE", "P_LINE"));
        assert.equal(await svg.locator("circle.plot").count(), count("CIRCLE", "P_PROT"));
        assert.equal(await svg.locator("text.label").count(), count("TEXT", "P_MOJI"));
        const names = worked.trim().split(/\r\n/).map((l) => l.split("\t")[1]);
        assert.deepEqual(await svg.locator("text.label").allTextContents(), names);
        assert.equal(await page.locator("#counts").textContent(),
                     `測点 12　線 ${count("POLYLINE", "P_LINE")}　円 ${count("CIRCLE", "P_PROT")}　文字 12`);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("a click on a point or its name selects its row in the sheet", async () => {
        const page = await openPage(browser.context);
        await workedAndRead(page, { edition: "2000", scale: "400" });
        const selectedRow = () => page.locator("[role=gridcell][aria-selected=true]").evaluateAll(
            (cells) => cells.map((c) => c.getAttribute("aria-label")));
        // Where the ring of a point's marker lies on the screen.
        const ringAt = (slot) => page.evaluate((slot) => {
            const svg = document.getElementById("plan");
            const rings = svg.querySelector(".marker").getAttribute("d").split("M").filter(Boolean);
            const [x, y] = rings[slot].split(/[a ]/).map(Number);
            const ring = new DOMPoint(x + 0.4, y).matrixTransform(svg.getScreenCTM());
            return { x: ring.x, y: ring.y };
        }, slot);
        // K4 is slot 3, on row 9.
        const k4 = await ringAt(3);
        await page.mouse.click(k4.x + 1, k4.y);
        assert.equal(await page.locator("#cell-name").textContent(), "A9");
        assert.deepEqual(await selectedRow(), ["A9", "B9", "C9", "D9", "G9", "H9", "I9"]);
        // Closer to T3 (row 13), until its name is drawn, and a click on the name.
        const t3 = await ringAt(7);
        await page.mouse.move(t3.x, t3.y);
        for (let i = 0; i < 4; ++i) {
            await page.mouse.wheel(0, -200);
        }
        await page.locator("#plan text.label", { hasText: /^T3$/ }).click();
        assert.equal(await page.locator("#cell-name").textContent(), "A13");
        await page.close();
    });

    test("the fit check says what the tool says and its suggestion makes everything fit", async () => {
        const page = await openPage(browser.context);
        await workedAndRead(page, { edition: "2000", paper: "A1", scale: "100" });
        const cli = runCli(["--edition", "2000", "--paper", "A1", "--scale", "100"], workedExample);
        const warning = cli.stderr.split("\n").find((l) => l.includes("内枠"));
        assert.equal(`警告: ${await page.locator("#fit-text").textContent()}`, warning);
        const apply = page.locator("#apply-suggestion");
        await apply.click();
        const scale = await page.getByLabel("縮尺設定 ：").inputValue();
        const paper = await page.getByLabel("用紙設定 ：").inputValue();
        const after = runCli(["--edition", "2000", "--paper", paper, "--scale", scale], workedExample);
        assert.ok(!after.stderr.includes("内枠"), `${paper} 1:${scale} does not fit`);
        assert.equal(await page.locator("#fit-text").textContent(), "すべての測点が用紙の内枠に収まっています。");
        assert.ok(await apply.isHidden());
        await page.close();
    });
});

describe("the print", () => {
    for (const [paper, width, height] of [["A1", 841, 594], ["A4P", 210, 297]]) {
        test(`is one page the size of ${paper}, the plan at true scale`, async () => {
            const page = await openPage(browser.context);
            await workedAndRead(page, { edition: "2000", paper, scale: "1000" });
            const folder = workFolder();
            const pdf = join(folder, "plan.pdf");
            writeFileSync(pdf, await page.pdf({ preferCSSPageSize: true, printBackground: true }));
            const info = spawnSync("pdfinfo", [pdf], { encoding: "utf8" }).stdout;
            assert.match(info, /^Pages:\s+1$/m);
            const [, w, h] = /^Page size:\s+([\d.]+) x ([\d.]+) pts/m.exec(info);
            assert.ok(Math.abs(Number(w) - width * MM) < 1, `width ${w}`);
            assert.ok(Math.abs(Number(h) - height * MM) < 1, `height ${h}`);

            // K1 and K2 lie 100 m apart along the first axis: 100 mm on paper at 1:1000.
            const words = spawnSync("pdftotext", ["-bbox", pdf, "-"], { encoding: "utf8" }).stdout;
            const place = (name) => {
                const m = new RegExp(`xMin="([\\d.]+)" yMin="([\\d.]+)"[^>]*>${name}<`).exec(words);
                assert.ok(m, `${name} not printed`);
                return { x: Number(m[1]), y: Number(m[2]) };
            };
            const [k1, k2] = [place("K1"), place("K2")];
            const distance = Math.hypot(k2.x - k1.x, k2.y - k1.y) / MM;
            assert.ok(Math.abs(distance - 100) < 0.5, `K1 to K2 printed ${distance.toFixed(2)} mm apart`);
            await page.close();
        });
    }
});

describe("the survey map", () => {
    // Read with 地積測量図 ticked, printed as the browser prints it to a PDF.
    // marks: column H (境界標) to paste beside the example's rows, if any; beforePrint: what
    // the surveyor does once the points are read; keep: a name to keep the print under in
    // KARUMENIO_TEST_PRINTS.
    async function mapPrinted(example, settings, { marks = "", beforePrint = async () => {}, keep = "" } = {}) {
        const page = await openPage(browser.context);
        await page.locator("#survey-map").check();
        await pasteAt(page, "A6", readFileSync(example, "utf8"));
        if (marks) {
            await pasteAt(page, "H6", marks);
        }
        await chooseSettings(page, settings);
        await button(page, "座 標 読 込").click();
        await answer(page);
        await beforePrint(page);
        const pdf = join(keep ? process.env.KARUMENIO_TEST_PRINTS : workFolder(), keep || "map.pdf");
        writeFileSync(pdf, await page.pdf({ preferCSSPageSize: true, printBackground: true }));
        const info = spawnSync("pdfinfo", [pdf], { encoding: "utf8" }).stdout;
        const text = spawnSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" }).stdout;
        const counts = await page.locator("#counts").textContent();
        const errors = page.errors;
        const warnings = await page.locator("#warnings").textContent();
        await page.close();
        return { info, text, counts, errors, warnings };
    }

    const b4 = (info, pages) => {
        assert.match(info, new RegExp(`^Pages:\\s+${pages}$`, "m"));
        const [, w, h] = /^Page size:\s+([\d.]+) x ([\d.]+) pts/m.exec(info);
        assert.ok(Math.abs(Number(w) - 364 * MM) < 1, `width ${w}`);
        assert.ok(Math.abs(Number(h) - 257 * MM) < 1, `height ${h}`);
    };

    test("of two parcels prints on one B4 page with every value of the area table", async () => {
        const example = join(top, "examples/two_parcels.tsv");
        // Each corner's boundary mark, row by row: the map's legend lists the kinds used.
        const kinds = { "No.1": "コンクリート杭", "No.2": "金属標", "No.3": "金属標", "No.4": "石杭",
                        "No.5": "金属標", "No.6": "コンクリート杭" };
        const marks = readFileSync(example, "utf8").trim().split("\n")
            .map((line) => kinds[line.split("\t")[1]] ?? "").join("\n");
        const printed = await mapPrinted(example, { paper: "B4L", scale: "250", angle: "30.0000" }, { marks });
        assert.match(printed.counts, /地積測量図 1 枚/);
        b4(printed.info, 1);
        const cli = runCli(["--paper", "B4L", "--scale", "250", "--angle", "30.0000"], example,
                           ["--area-csv", "area.csv"]);
        assert.equal(cli.status, 0, cli.stderr);
        const words = new Set(printed.text.split(/\s+/));
        const rows = cli.files["area.csv"].toString("utf8").replace(/^\uFEFF/, "").trim().split("\r\n");
        // The CSV's last column, 境界標, is the file's own: the map shows the marks by their
        // symbols and its legend, and its area table has the other columns.
        const header = rows[0].split(",");
        assert.equal(header.at(-1), "境界標");
        for (const row of rows) {
            for (const field of row.split(",").slice(0, header.length - 1).filter((f) => f)) {
                assert.ok(words.has(field), `${field} not printed`);
            }
        }
        for (const word of ["求積表", "地積測量図", "1枚のうち1枚目", "669-1", "No.5", "境界標",
                            "コンクリート杭", "金属標", "石杭"]) {
            assert.ok(printed.text.includes(word), `${word} not printed`);
        }
        assert.deepEqual(printed.errors, []);
    });

    // The subdivision chosen in 図面情報 reaches the printed map. KARUMENIO_TEST_PRINTS names
    // a folder to keep each print in, for looking at it.
    for (const { name, fields, printed, absent, warning } of [
        { name: "circled", fields: { 分筆元: "670", "登記地積（㎡）": "1200", 残地: "670-1" },
          printed: ["① 670-1（残地）", "② 670-2", "③ 670-3", "分筆の面積", "一致"], absent: [] },
        { name: "iroha", fields: { 分筆元: "670", 符号: "iroha", "登記地積（㎡）": "1150", 精度区分: "甲2" },
          printed: ["(イ) 670-1", "(ハ) 670-3", "分筆の面積"], absent: ["①"], warning: "地積更正" },
        { name: "none", fields: {}, printed: ["670-1"], absent: ["分筆の面積", "①"] },
    ]) {
        test(`of a subdivision (${name}) prints the signs and areas chosen in 図面情報`, async () => {
            const choose = async (page) => {
                await button(page, "図面情報…").click();
                // The parent and the remainder are offered from the parcels read.
                const offered = await page.locator("#info-parcels option").evaluateAll(
                    (options) => options.map((o) => o.value));
                assert.deepEqual(offered, ["670", "670-1", "670-2", "670-3"]);
                for (const [label, value] of Object.entries(fields)) {
                    const field = page.getByLabel(label, { exact: true });
                    if (await field.evaluate((e) => e.tagName === "SELECT")) {
                        await field.selectOption(value);
                    } else {
                        await field.fill(value);
                    }
                }
                await button(page, "OK").click();
                await page.waitForFunction(() => !document.getElementById("drawing-info").open);
            };
            const keep = process.env.KARUMENIO_TEST_PRINTS ? `print-subdivision-${name}.pdf` : "";
            const result = await mapPrinted(join(top, "examples/subdivision_3lots.tsv"),
                                            { paper: "B4L", scale: "250", angle: "0.0000" },
                                            { beforePrint: choose, keep });
            for (const text of printed) {
                assert.ok(result.text.includes(text), `${text} not printed`);
            }
            for (const text of absent) {
                assert.ok(!result.text.includes(text), `${text} printed`);
            }
            assert.equal(result.warnings.includes("地積更正"), Boolean(warning), result.warnings);
            assert.deepEqual(result.errors, []);
        });
    }

    test("of a subdivision refuses what the command line refuses, and keeps what it takes", async () => {
        const page = await openPage(browser.context);
        const problem = page.locator("#info-problem");
        await button(page, "図面情報…").click();
        for (const [fields, refusal] of [
            [{ 分筆元: "670", "登記地積（㎡）": "-330.5" }, "登記地積「-330.5」は使えません"],
            [{ 分筆元: "670", "登記地積（㎡）": "330,57" }, "小数 6 桁まで"],
            [{ 分筆元: "", "登記地積（㎡）": "1200" }, "登記地積は分筆元を指定したときだけ"],
            [{ "登記地積（㎡）": "", 残地: "670-1" }, "残地は分筆元を指定したときだけ"],
        ]) {
            for (const [label, value] of Object.entries(fields)) {
                await page.getByLabel(label, { exact: true }).fill(value);
            }
            await button(page, "OK").click();
            assert.ok((await problem.textContent()).includes(refusal), await problem.textContent());
            assert.ok(await page.evaluate(() => document.getElementById("drawing-info").open));
        }
        await page.getByLabel("分筆元", { exact: true }).fill("670");
        await page.getByLabel("精度区分", { exact: true }).selectOption("乙1");
        await button(page, "OK").click();
        await page.waitForFunction(() => !document.getElementById("drawing-info").open);
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        await button(page, "図面情報…").click();
        assert.equal(await page.getByLabel("分筆元", { exact: true }).inputValue(), "670");
        assert.equal(await page.getByLabel("残地", { exact: true }).inputValue(), "670-1");
        assert.equal(await page.getByLabel("精度区分", { exact: true }).inputValue(), "乙1");
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("of 60 points prints a page for each of its sheets", async () => {
        const printed = await mapPrinted(join(top, "examples/survey_60points.tsv"),
                                         { paper: "B4L", scale: "250", angle: "0.0000" });
        assert.match(printed.counts, /地積測量図 2 枚/);
        b4(printed.info, 2);
        assert.ok(printed.text.includes("2枚のうち2枚目"));
        assert.ok(printed.text.includes("求積表（続き）"));
        assert.deepEqual(printed.errors, []);
    });
});

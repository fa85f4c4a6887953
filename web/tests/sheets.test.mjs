// The page against the native command-line tool on many sheets: the generated sheets of the
// Windows comparison (every edition, paper and scale; angles with sign; marks; radii; kanji,
// half-width katakana and names code page 932 cannot hold; TSV, CSV and SIMA in UTF-8 and code
// page 932), pasted or opened as a surveyor would, and a sheet of 3001 points. Every script,
// the DXF and the SIMA export must be the tool's bytes, and the messages its messages.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, chooseSettings, generatedSheets, join, launch, openPage, pasteAt,
    readFileSync, runCli, scriptNames, takeDownloads, typeInto, workFolder, writeFileSync,
} from "./support.mjs";

const sheetCount = Number(process.env.KARUMENIO_WEB_SHEETS || 60);
const exportNames = { dxf: "図面.dxf", sima: "座標.sim" };

let browser;
let page;
before(async () => {
    browser = await launch();
    page = await openPage(browser.context);
});
after(async () => {
    await browser.close();
});

// Sheets the clipboard can carry as they are: TAB-separated UTF-8 text without a header line.
const pastable = (sheet, bytes) =>
    sheet.name.endsWith(".tsv") && !sheet.description.includes("header") &&
    sheet.description.includes("utf-8 ") && bytes[0] !== 0xef;

async function openThroughButton(file) {
    const chooser = page.waitForEvent("filechooser");
    await button(page, "座標ファイルを開く…").click();
    await (await chooser).setFiles(file);
}

async function dropOnPage(file, name) {
    const bytes = [...readFileSync(file)];
    const transfer = await page.evaluateHandle(({ bytes, name }) => {
        const data = new DataTransfer();
        data.items.add(new File([new Uint8Array(bytes)], name));
        return data;
    }, { bytes, name });
    await page.dispatchEvent("#grid", "drop", { dataTransfer: transfer });
}

// Messages shown while the page works, answered with OK and collected.
async function collectMessages(action) {
    await action();
    const messages = [];
    for (;;) {
        const state = await page.waitForFunction(() => {
            if (document.getElementById("message").open) {
                return "message";
            }
            return document.documentElement.dataset.busy ? null : "done";
        });
        if ((await state.jsonValue()) === "done") {
            return { messages };
        }
        messages.push(await answer(page));
    }
}

// One sheet through the page from a new worksheet: the radius typed into G6 first (as the
// tool puts it there before it opens the file), then the points, the settings, the two buttons
// and the two exports. Returns the files and the texts of the messages.
// Headless Chromium now and then drops a download that follows a burst of them (the scripts)
// within a moment, where a user's browser would ask; the page has handed the file over all the
// same. Such a click is made once more; a click whose file the page never handed over is not.
async function exportThroughButton(caption, name) {
    const handedOver = () => page.evaluate(() => Number(document.documentElement.dataset.downloads || 0));
    const before = await handedOver();
    await button(page, caption).click();
    const arrived = () => page.downloads.some((d) => d.suggestedFilename() === name);
    const deadline = Date.now() + 3000;
    while (!arrived() && Date.now() < deadline) {
        await page.waitForTimeout(20);
    }
    if (!arrived() && (await handedOver()) > before && !(await page.evaluate(() => document.getElementById("message").open))) {
        await button(page, caption).click();
    }
}

async function throughPage(sheet, index) {
    await button(page, "新しい座標表").click();
    await answer(page, "新しい座標表にする");
    if (sheet.settings.radius !== undefined) {
        await typeInto(page, "G6", sheet.settings.radius);
    }
    const bytes = readFileSync(sheet.file);
    const opening = await collectMessages(async () => {
        if (pastable(sheet, bytes)) {
            await pasteAt(page, "A6", bytes.toString("utf8"));
        } else if (index % 2) {
            await dropOnPage(sheet.file, sheet.name);
        } else {
            await openThroughButton(sheet.file);
        }
    });
    await chooseSettings(page, {
        edition: sheet.settings.edition,
        paper: sheet.settings.paper,
        scale: sheet.settings.scale,
        angle: sheet.settings.angle ?? "0.0000",
    });
    const reading = await collectMessages(() => button(page, "座 標 読 込").click());
    const writing = await collectMessages(() => button(page, ".SCR 出力").click());
    const written = writing.messages.some((m) => m.text.includes("ZAHYOU-LINE-PLOT-TEXT"));
    const files = await takeDownloads(page, written ? scriptNames : []);
    // The read draws the preview in the frames after its message; the exports are the preview's.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0))));
    const exporting = await collectMessages(async () => {
        await exportThroughButton("DXF 出力…", exportNames.dxf);
        await exportThroughButton("SIMA 出力…", exportNames.sima);
    });
    const exported = exporting.messages.every((m) => !m.text.includes("実行時エラー"));
    Object.assign(files, await takeDownloads(page, exported ? Object.values(exportNames) : []));
    return { opening, reading, writing, exporting, files };
}

function compare(sheet, result, cli) {
    const what = `${sheet.name} (${sheet.description}); the page said: ${JSON.stringify(
        [...result.opening.messages, ...result.reading.messages, ...result.writing.messages,
         ...result.exporting.messages].map((m) => m.text))}; files: ${Object.keys(result.files)}`;
    const messages = [...result.opening.messages, ...result.reading.messages, ...result.writing.messages];
    if (cli.status !== 0) {
        // Refused by the tool: the page refuses with the same words and writes no script.
        const reason = cli.stderr.replace(/^karumenio-cli: /, "").trimEnd();
        assert.ok(messages.some((m) => m.text === reason), `${what}: the page does not say "${reason}"`);
        assert.ok(!scriptNames.some((name) => name in result.files), `${what}: scripts written`);
        return;
    }
    assert.equal(result.reading.messages[0].text, cli.stdout.split("\n")[0], what);
    const same = (ours, theirs, label) => {
        assert.ok(ours, `${what}: the page wrote no ${label}`);
        assert.ok(theirs, `${what}: the tool wrote no ${label}`);
        assert.ok(ours.equals(theirs), `${what}: ${label} differs`);
    };
    for (const name of scriptNames) {
        same(result.files[name], cli.files[name], name);
    }
    same(result.files[exportNames.dxf], cli.files["plan.dxf"], "DXF");
    same(result.files[exportNames.sima], cli.files[exportNames.sima], "SIMA file");
    // Every warning the page gave is one the tool gave.
    const warnings = cli.stderr.split("\n").filter((l) => l.startsWith("警告: ")).map((l) => l.slice(4));
    const completion = result.writing.messages.find((m) => m.text.includes("ZAHYOU-LINE-PLOT-TEXT"));
    for (const line of completion.text.split("\n").slice(2)) {
        assert.ok(warnings.includes(line), `${what}: warning "${line}" not the tool's`);
    }
}

describe("generated sheets", () => {
    const folder = workFolder();
    const sheets = generatedSheets(folder, sheetCount).filter((s) => s.settings.edition in
        { 97: 1, 98: 1, 2000: 1, 2002: 1, 20001: 1 });

    test(`${sheets.length} sheets give the command-line tool's bytes`, async () => {
        let pasted = 0;
        for (const [index, sheet] of sheets.entries()) {
            const cli = runCli(sheet.options, sheet.file,
                               ["--dxf", "plan.dxf", "--sima-out", exportNames.sima]);
            const result = await throughPage(sheet, index);
            assert.deepEqual(page.errors, [], `${sheet.name}: the page failed`);
            compare(sheet, result, cli);
            pasted += pastable(sheet, readFileSync(sheet.file)) ? 1 : 0;
        }
        // The clipboard and the files both had their share.
        assert.ok(pasted > 0 && pasted < sheets.length);
        assert.deepEqual(page.errors, []);
    });
});

describe("a full sheet", () => {
    test("3001 points pasted, read and written as the tool writes them", async () => {
        const rows = [];
        for (let i = 0; i < 3001; ++i) {
            const mark = i % 97 === 0 ? "K" : "";
            const name = i % 5 === 0 ? `境界${i}` : i % 7 === 0 ? `ｸｲ${i}` : `P${i}`;
            const x = (-23795.96 + (i % 61) * 3.25 + i * 0.125).toFixed(3);
            const y = (-32832.251 + Math.floor(i / 61) * 4.5 - (i % 13) * 0.75).toFixed(3);
            const radius = i % 11 === 0 ? `\t${(i % 4) * 0.5}` : "";
            rows.push(`${mark}\t${name}\t${x}\t${y}${radius}`);
        }
        const text = rows.join("\r\n") + "\r\n";
        const folder = workFolder();
        const file = join(folder, "full.tsv");
        writeFileSync(file, text);
        await button(page, "新しい座標表").click();
        await answer(page, "新しい座標表にする");
        await pasteAt(page, "A6", text);
        const settings = { edition: "20001", paper: "A2", scale: "1000", angle: "-127.0559" };
        await chooseSettings(page, settings);
        await button(page, "座 標 読 込").click();
        const read = await answer(page);
        await button(page, ".SCR 出力").click();
        await answer(page);
        const files = await takeDownloads(page, scriptNames);
        const cli = runCli(["--edition", "20001", "--paper", "A2", "--scale", "1000",
                            "--angle", "-127.0559"], file);
        assert.equal(read.text, cli.stdout.split("\n")[0]);
        assert.match(read.text, /3001/);
        for (const name of scriptNames) {
            assert.ok(files[name].equals(cli.files[name]), `${name} differs`);
        }
    });
});

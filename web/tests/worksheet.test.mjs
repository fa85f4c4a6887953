// The worksheet and the two buttons as a surveyor uses them: paste from the clipboard, read,
// write; undo, Delete, the replace and stale-sheet questions and the refusals.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, cell, chooseSettings, shown, launch, openPage, pasteAt, readFileSync, runCli,
    scriptNames, takeDownloads, typeInto, workedExample, workFolder, writeFileSync, join,
} from "./support.mjs";

const worked = readFileSync(workedExample, "utf8");
const workedOptions = ["--edition", "2000", "--paper", "A1", "--scale", "100", "--angle", "0.0000"];

// The worked example moved by whole kilometres: another frame centre, the same shapes.
function moved(text, dx, dy) {
    return text.split(/\r\n/).filter(Boolean).map((line) => {
        const f = line.split("\t");
        f[2] = String(Number(f[2]) + dx);
        f[3] = String(Number(f[3]) + dy);
        return f.join("\t");
    }).join("\r\n") + "\r\n";
}

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

async function readAndWrite(page, settings) {
    await chooseSettings(page, settings);
    await button(page, "座 標 読 込").click();
    const read = await answer(page);
    await button(page, ".SCR 出力").click();
    const written = await answer(page);
    return { read, written, files: await takeDownloads(page, scriptNames) };
}

function assertSameScripts(files, cli) {
    assert.deepEqual(Object.keys(files).sort(), [...scriptNames].sort());
    for (const name of scriptNames) {
        assert.ok(files[name].equals(cli.files[name]), `${name} differs from the command-line tool's`);
    }
}

describe("the worked example", () => {
    test("pasted with Ctrl+V, read and written gives the command-line tool's four scripts", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        assert.equal(await shown(page, "B17"), "T7");
        assert.equal(await shown(page, "G15"), "10.0");
        const { read, written, files } = await readAndWrite(page, { edition: "2000" });
        const cli = runCli(workedOptions, workedExample);
        assert.equal(cli.status, 0);
        assert.equal(read.title, "座標の読込");
        assert.equal(read.text, cli.stdout.split("\n")[0]);
        assert.equal(written.title, "SCR作成");
        assert.match(written.text, /ZAHYOU-LINE-PLOT-TEXT\.SCR/);
        assertSameScripts(files, cli);
        assert.deepEqual(page.errors, []);
        assert.deepEqual(page.fetched, []);
        await page.close();
    });

    test("undo takes a paste back and redo brings it again", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await page.keyboard.press("Control+Z");
        for (const name of ["A6", "B6", "C6", "D6", "B17"]) {
            assert.equal(await shown(page, name), "", name);
        }
        assert.equal(await shown(page, "G6"), "0.0");
        await page.keyboard.press("Control+Y");
        assert.equal(await shown(page, "B17"), "T7");
        await button(page, "LT 2000").click();
        await button(page, "座 標 読 込").click();
        const read = await answer(page);
        assert.equal(read.text, runCli(workedOptions, workedExample).stdout.split("\n")[0]);
        await page.close();
    });

    test("Delete over A6:G17 keeps the extent formulas: a moved job then gets its own frame", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await cell(page, "A6").click();
        await cell(page, "G17").click({ modifiers: ["Shift"] });
        await page.keyboard.press("Delete");
        assert.equal(await shown(page, "B6"), "");
        assert.equal(await shown(page, "G6"), "0.0");
        // Nothing left of the job: the next paste at A6 does not ask.
        const other = moved(worked, 12000, -3000);
        await pasteAt(page, "A6", other);
        assert.equal(await page.getByRole("alertdialog").count(), 0);
        const { files } = await readAndWrite(page, { edition: "2000" });
        const folder = workFolder();
        writeFileSync(join(folder, "moved.tsv"), other);
        assertSameScripts(files, runCli(workedOptions, join(folder, "moved.tsv")));
        await page.close();
    });

    test("a second job pasted at A6 asks whether to replace the first", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        const three = worked.split("\r\n").slice(0, 3).join("\r\n") + "\r\n";

        await pasteAt(page, "A6", three);
        const question = await answer(page, "キャンセル");
        assert.equal(question.title, "Microsoft Excel ワークシート - Sheet1");
        assert.deepEqual(question.buttons, ["置き換える", "上から貼り付ける", "キャンセル"]);
        assert.equal(await shown(page, "B17"), "T7");

        await pasteAt(page, "A6", three);
        await answer(page, "上から貼り付ける");
        assert.equal(await shown(page, "B17"), "T7");

        await pasteAt(page, "A6", three);
        await answer(page, "置き換える");
        assert.equal(await shown(page, "B8"), "K3");
        assert.equal(await shown(page, "B9"), "");
        await chooseSettings(page, { edition: "97" });
        await button(page, "座 標 読 込").click();
        assert.match((await answer(page)).text, /　3　/);
        // The replacement is one step: undo brings the whole first job back.
        await cell(page, "B9").click();
        await page.keyboard.press("Control+Z");
        assert.equal(await shown(page, "B17"), "T7");
        await page.close();
    });
});

describe("typing into the sheet", () => {
    test("a typed default radius runs down the radius chain and into the scripts", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await typeInto(page, "G6", "2.5");
        assert.equal(await shown(page, "G6"), "2.5");
        assert.equal(await shown(page, "G10"), "2.5");
        // Enter moved on to the cell below.
        assert.equal(await page.locator("#cell-name").textContent(), "G7");
        const { files } = await readAndWrite(page, { edition: "98", paper: "A3", scale: "500", angle: "-33.2547" });
        const cli = runCli(["--edition", "98", "--paper", "A3", "--scale", "500", "--angle", "-33.2547",
                            "--radius", "2.5"], workedExample);
        assertSameScripts(files, cli);
        await page.close();
    });

    test("Japanese composed with an input method goes into the cell from the first key", async () => {
        const page = await openPage(browser.context);
        await cell(page, "B6").click();
        // What an input method does: a composition shown while typed, then the chosen text.
        const cdp = await page.context().newCDPSession(page);
        await cdp.send("Input.imeSetComposition", { text: "きょうかい", selectionStart: 5, selectionEnd: 5 });
        await cdp.send("Input.imeSetComposition", { text: "境界", selectionStart: 2, selectionEnd: 2 });
        await cdp.send("Input.insertText", { text: "境界" });
        await page.keyboard.type("1");
        await page.keyboard.press("Enter");
        assert.equal(await shown(page, "B6"), "境界1");
        assert.equal(await page.locator("#cell-name").textContent(), "B7");
        await page.close();
    });

    test("Ctrl+C copies the block as text another program pastes", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await cell(page, "A10").click();
        await cell(page, "D11").click({ modifiers: ["Shift"] });
        await page.keyboard.press("Control+C");
        const copied = await page.evaluate(() => navigator.clipboard.readText());
        const block = worked.split("\r\n").slice(4, 6).map((l) => l.split("\t").slice(0, 4).join("\t"));
        assert.equal(copied, block.join("\r\n") + "\r\n");
        await page.close();
    });

    test("a formula error in a coordinate is named on its cell, not on the hidden extent cells", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await chooseSettings(page, { edition: "2000" });
        await typeInto(page, "C8", "=1/0");
        await button(page, "座 標 読 込").click();
        assert.match((await answer(page)).text, /C8/);
        await cell(page, "A6").click();
        await button(page, ".SCR 出力").click();
        const refusal = await answer(page);
        assert.match(refusal.text, /セル C8 の「#DIV\/0!」/);
        assert.doesNotMatch(refusal.text, /E6/);
        assert.equal(await page.locator("#cell-name").textContent(), "C8");
        await page.close();
    });

    test("a mistyped angle is written as the box reads it, and every message says so", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        const { read, written, files } = await readAndWrite(page, { edition: "2000", angle: "abc" });
        for (const message of [read, written]) {
            assert.match(message.text, /角度\(UCS\) の「abc」は ddd\.mmss .* 0 度として出力します/);
        }
        assertSameScripts(files, runCli(workedOptions, workedExample));
        await page.waitForFunction(() => document.getElementById("warnings").textContent.includes("「abc」"));
        await page.close();
    });

    test("a coordinate that is no number is named when the sheet is read", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await typeInto(page, "C8", "abc");
        await button(page, "座 標 読 込").click();
        const read = await answer(page);
        assert.match(read.text, /C8/);
        assert.equal(await page.locator("#cell-name").textContent(), "C8");
        await page.close();
    });
});

describe("refusals", () => {
    test("a write before any read, and one without an edition, say why and write nothing", async () => {
        const page = await openPage(browser.context);
        await button(page, ".SCR 出力").click();
        const noEdition = await answer(page);
        assert.equal(noEdition.title, "SCR作成");
        assert.match(noEdition.text, /バージョン/);
        assert.match(noEdition.text, /実行時エラー 13/);

        await button(page, "LT 2002").click();
        await button(page, ".SCR 出力").click();
        const noRead = await answer(page);
        assert.match(noRead.text, /「座 標 読 込」/);
        assert.match(noRead.text, /実行時エラー 91/);
        assert.equal(page.downloads.length, 0);
        await page.close();
    });

    test("more rows than the table holds are refused, and nothing is read", async () => {
        const page = await openPage(browser.context);
        const rows = Array.from({ length: 3002 }, (_, i) => `\tP${i + 1}\t${i}\t${-i}`).join("\r\n");
        await pasteAt(page, "A6", rows);
        await button(page, "LT 2000").click();
        await button(page, "座 標 読 込").click();
        const read = await answer(page);
        assert.equal(read.title, "座標の読込");
        assert.match(read.text, /実行時エラー 9/);
        // The first row too many is shown.
        assert.equal(await page.locator("#cell-name").textContent(), "C3007");
        await button(page, ".SCR 出力").click();
        assert.match((await answer(page)).text, /実行時エラー 91/);
        assert.equal(page.downloads.length, 0);

        // 置き換える clears every row of that job, the one past the table's too.
        await cell(page, "C3007").click();
        await page.keyboard.press("Control+Home");
        await pasteAt(page, "A6", rows.split("\r\n").slice(0, 3001).join("\r\n"));
        assert.equal((await answer(page, "置き換える")).buttons[0], "置き換える");
        await button(page, "座 標 読 込").click();
        assert.match((await answer(page)).text, /　3001　/);

        // Rows that run past the sheet are refused at the paste, before the question.
        const past = Array.from({ length: 65536 }, () => "\tQ\t1\t2").join("\n");
        await pasteAt(page, "A6", past);
        const refusal = await answer(page);
        assert.match(refusal.text, /最終行 65536 を超えます/);
        assert.equal(await shown(page, "B6"), "P1");
        await page.close();
    });

    test("a sheet changed after the read asks before writing", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await chooseSettings(page, { edition: "2000" });
        await button(page, "座 標 読 込").click();
        await answer(page);
        await typeInto(page, "C7", "101");

        await button(page, ".SCR 出力").click();
        const question = await answer(page, "キャンセル");
        assert.equal(question.title, "SCR作成");
        assert.equal(question.text, "ワークシートは最後の「座 標 読 込」の後に変更されています。");
        assert.deepEqual(question.buttons, ["読み込み直して出力", "読み込んだ座標で出力", "キャンセル"]);
        assert.equal(page.downloads.length, 0);

        // Written with the points read: the frame follows the sheet, the points the read.
        await button(page, ".SCR 出力").click();
        await answer(page, "読み込んだ座標で出力");
        await answer(page);
        const kept = await takeDownloads(page, scriptNames);
        const cli = runCli(workedOptions, workedExample);
        assert.ok(kept["LINE.SCR"].equals(cli.files["LINE.SCR"]));

        await button(page, ".SCR 出力").click();
        await answer(page, "読み込み直して出力");
        assert.match((await answer(page)).text, /　12　/);
        assert.match((await answer(page)).text, /ZAHYOU-LINE-PLOT-TEXT/);
        const reread = await takeDownloads(page, scriptNames);
        const folder = workFolder();
        writeFileSync(join(folder, "changed.tsv"), worked.replace("\tK2\t100\t0", "\tK2\t101\t0"));
        assertSameScripts(reread, runCli(workedOptions, join(folder, "changed.tsv")));
        await page.close();
    });
});

// The worksheet as a spreadsheet user expects it: kept across a reload, row numbers and column
// letters to find the cell a message names, Excel's keys, Delete back to the template in the
// headings too, and a completion that says where the scripts went.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, cell, dialog, launch, openPage, pasteAt, readFileSync, shown, typeInto,
    workedExample,
} from "./support.mjs";

const worked = readFileSync(workedExample, "utf8");
const rows = (count) => Array.from({ length: count }, (_, i) => `${i % 5 ? "" : "K"}\tP${i}\t${i}\t${-i}`).join("\r\n");

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

const active = (page) => page.locator("#cell-name").textContent();
// Kept since the page was loaded, the last edit included: edits a moment apart are kept together.
const kept = (page) => page.waitForFunction(() => {
    const root = document.documentElement;
    return Number(root.dataset.sheetKept || 0) >= 1 && root.dataset.sheetWaiting === undefined;
});

describe("the sheet", () => {
    test("comes back after a reload as it was left, and 新しい座標表 forgets it", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await typeInto(page, "G6", "2.5");
        await kept(page);
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.equal(await shown(page, "B17"), "T7");
        assert.equal(await shown(page, "G10"), "2.5");
        assert.equal(await page.getByRole("button", { name: "元に戻す" }).isDisabled(), true);

        await button(page, "新しい座標表").click();
        await answer(page, "新しい座標表にする");
        await kept(page);
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.equal(await shown(page, "B6"), "");
        assert.equal(await shown(page, "G6"), "0.0");
        await page.close();
    });

    test("has row numbers and column letters, and a cell a message names is selected", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await typeInto(page, "C18", "");
        await typeInto(page, "C8", "abc");
        await button(page, "LT 2000").click();
        await button(page, "座 標 読 込").click();
        assert.match((await answer(page)).text, /C8/);
        assert.equal(await active(page), "C8");
        assert.ok(await page.getByRole("rowheader", { name: "18", exact: true }).isVisible());
        assert.ok(await page.getByRole("columnheader", { name: "C", exact: true }).isVisible());
        assert.ok(await cell(page, "C8").isVisible());
        await page.close();
    });

    test("fits its columns to the window, and the message stands clear of the cell it names", async () => {
        const page = await openPage(browser.context);
        // Row 60 (out of view) has a name for its X.
        await pasteAt(page, "A6", rows(100).replace("\tP54\t54", "\tP54\tabc"));
        await button(page, "LT 2000").click();
        // The template shows seven columns (A to D, G, H 境界標 and I 種別): at 1280 px they
        // narrow to about two thirds of their width beside the preview at its narrowest, the
        // least they narrow to; in a narrower window the grid scrolls sideways.
        for (const [width, height] of [[1366, 768], [1920, 1080], [1280, 720]]) {
            await page.setViewportSize({ width, height });
            // The grid fits its columns again in the frame after it was resized.
            await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
            const room = await page.locator("#grid").evaluate((g) => g.getBoundingClientRect().left + g.clientWidth);
            const last = await page.getByRole("columnheader").last().boundingBox();
            assert.ok(last.x + last.width <= room + 0.5, `${width} px: the last column ends at ${last.x + last.width}, the grid at ${room}`);
            await button(page, "座 標 読 込").click();
            await dialog(page).waitFor();
            const box = await dialog(page).boundingBox();
            const named = await cell(page, "C60").boundingBox();
            assert.ok(named.y + named.height <= box.y || named.y >= box.y + box.height, `${width} px: C60 under the message`);
            assert.equal((await answer(page)).text.includes("C60"), true);
        }
        await page.close();
    });

    test("moves with Ctrl and the arrows, Home and End, and selects with Shift", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", rows(3001));
        // From a cell in view, the keys, where they lead.
        const cases = [
            ["A6", "Control+End", "G3006"],
            ["C6", "Control+ArrowDown", "C3006"],
            ["A6", "Control+ArrowDown", "A11"],
            ["A6", "Control+ArrowRight", "G6"],
            ["B6", "Control+Shift+ArrowDown", "B3006"],
        ];
        for (const [from, keys, to] of cases) {
            await page.evaluate(() => { document.getElementById("grid").scrollTop = 0; });
            await cell(page, from).click();
            await page.keyboard.press(keys);
            assert.equal(await active(page), to, `${from} ${keys}`);
            assert.ok(await cell(page, to).isVisible(), `${to} in view`);
        }
        // Shift kept the first cell: the block runs down column B.
        assert.equal(await cell(page, "B3005").getAttribute("aria-selected"), "true");
        assert.equal(await cell(page, "C3005").getAttribute("aria-selected"), "false");
        await page.keyboard.press("Control+Home");
        assert.equal(await active(page), "A1");
        await page.close();
    });

    test("Delete puts back an overwritten title and heading", async () => {
        const page = await openPage(browser.context);
        const title = await shown(page, "A1");
        // Row 5's headings are shapes over empty cells.
        const heading = await shown(page, "C5");
        await typeInto(page, "A1", "現場A");
        await typeInto(page, "C5", "X");
        assert.equal(await shown(page, "A1"), "現場A");
        assert.notEqual(await shown(page, "C5"), heading);
        await cell(page, "A1").click();
        await cell(page, "C5").click({ modifiers: ["Shift"] });
        await page.keyboard.press("Delete");
        assert.equal(await shown(page, "A1"), title);
        assert.equal(await shown(page, "C5"), heading);
        await page.close();
    });

    test("the completion and the usage window say the scripts went to the downloads", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", worked);
        await button(page, "LT 2000").click();
        await button(page, "座 標 読 込").click();
        await answer(page);
        await button(page, ".SCR 出力").click();
        assert.match((await answer(page)).text, /^「ダウンロード」に ZAHYOU-LINE-PLOT-TEXT\.SCRを作成しました。/);
        await button(page, "使用方法・説明").click();
        assert.match(await page.locator("#usage-folder").textContent(), /「ダウンロード」フォルダ/);
        await page.close();
    });
});

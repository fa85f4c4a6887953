// The main window's controls as labelled controls, the settings the browser keeps, the
// guidance windows, and the folder chosen with "出力先…" that the scripts are written into.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { createServer } from "node:http";
import {
    answer, button, chooseSettings, launch, openPage, pagePath, pasteAt, readFileSync, runCli,
    scriptNames, shown, workedExample,
} from "./support.mjs";

const worked = readFileSync(workedExample, "utf8");
const pressed = (page) => page.locator(".edition[aria-pressed=true]").allTextContents();

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

describe("the controls", () => {
    test("lists and buttons come from the tables, and one edition at most is pressed", async () => {
        const page = await openPage(browser.context);
        const paper = page.getByLabel("用紙設定 ：");
        const scale = page.getByLabel("縮尺設定 ：");
        // The desktop program's items, in its order (more rows may come with the tables).
        const papers = await paper.locator("option").allTextContents();
        const order = ["A1", "A2", "A3", "A4（横）", "A4（縦）"].map((p) => papers.indexOf(p));
        assert.ok(order.every((at, i) => at >= 0 && (i === 0 || at > order[i - 1])), papers.join());
        const scales = await scale.locator("option").allTextContents();
        assert.ok(["1:100", "1:500", "1:5000"].every((s) => scales.includes(s)), scales.join());
        assert.equal(await paper.inputValue(), "A1");
        assert.equal(await scale.inputValue(), "100");
        assert.equal(await page.getByLabel("角度(UCS) ：").inputValue(), "0.0000");
        // The usage button has the focus first, as in the desktop program.
        assert.equal(await page.evaluate(() => document.activeElement.textContent), "使用方法・説明");
        assert.deepEqual(await pressed(page), []);
        await button(page, "2000(R)").click();
        await button(page, "LT 98").click();
        assert.deepEqual(await pressed(page), ["LT 98"]);
        await page.close();
    });

    test("the angle box selects its text on entry, so that typing replaces it", async () => {
        const page = await openPage(browser.context);
        await page.getByLabel("縮尺設定 ：").focus();
        await page.keyboard.press("Tab");
        await page.keyboard.type("12.3456");
        assert.equal(await page.getByLabel("角度(UCS) ：").inputValue(), "12.3456");
        // Entered with the mouse from elsewhere: the click does not undo the selection.
        await page.getByLabel("縮尺設定 ：").focus();
        await page.getByLabel("角度(UCS) ：").click();
        await page.keyboard.type("90");
        assert.equal(await page.getByLabel("角度(UCS) ：").inputValue(), "90");
        await page.close();
    });

    test("the settings are there again when the page is opened again", async () => {
        const page = await openPage(browser.context);
        await chooseSettings(page, { edition: "2002", paper: "A4P", scale: "3000", angle: "-45.3000" });
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.deepEqual(await pressed(page), ["LT 2002"]);
        assert.equal(await page.getByLabel("用紙設定 ：").inputValue(), "A4P");
        assert.equal(await page.getByLabel("縮尺設定 ：").inputValue(), "3000");
        assert.equal(await page.getByLabel("角度(UCS) ：").inputValue(), "-45.3000");
        await page.close();
    });

    test("the usage window opens the example and hands the focus back to the paper list", async () => {
        const page = await openPage(browser.context);
        await button(page, "使用方法・説明").click();
        const usage = page.getByRole("dialog", { name: "使用方法・説明" });
        await usage.waitFor();
        assert.ok(await usage.getByText("10. ZAHYOU.SCRを最初に作画領域にﾄﾞﾗｯｸﾞします あとは順不同です").isVisible());
        await usage.getByRole("button", { name: "Excelでの説明" }).click();
        const example = page.getByRole("dialog", { name: "Excelへの貼り付け例" });
        assert.ok(await example.getByRole("img").isVisible());
        await usage.getByRole("button", { name: "閉じる" }).click();
        assert.ok(await example.isVisible());
        assert.equal(await page.evaluate(() => document.activeElement.id), "paper");
        await example.getByRole("button", { name: "閉じる" }).click();
        assert.ok(await example.isHidden());
        await page.close();
    });
});

// The folder path needs a secure origin with a file system of its own for the stand-in picker:
// the same page, served from this machine.
describe("a chosen output folder", () => {
    let server;
    let origin;
    before(async () => {
        const html = readFileSync(pagePath);
        server = createServer((request, response) => {
            response.writeHead(200, { "content-type": "text/html; charset=utf-8" });
            response.end(html);
        });
        await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
        origin = `http://127.0.0.1:${server.address().port}`;
    });
    after(() => server.close());

    // showDirectoryPicker answers with a folder of the origin's private file system, so that
    // the page's own code writes there through createWritable as into a folder on disk.
    async function pageWithPicker() {
        const page = await browser.context.newPage();
        page.errors = [];
        page.on("pageerror", (error) => page.errors.push(error.message));
        page.downloads = [];
        page.on("download", (download) => page.downloads.push(download));
        await page.addInitScript(() => {
            window.showDirectoryPicker = async () =>
                (await navigator.storage.getDirectory()).getDirectoryHandle("図面出力", { create: true });
        });
        await page.goto(`${origin}/karumenio.html`);
        await page.waitForSelector("html[data-ready=true]");
        return page;
    }

    const folderFiles = (page) => page.evaluate(async () => {
        const folder = await (await navigator.storage.getDirectory()).getDirectoryHandle("図面出力");
        const files = {};
        for await (const [name, handle] of folder.entries()) {
            files[name] = [...new Uint8Array(await (await handle.getFile()).arrayBuffer())];
        }
        return files;
    });

    test("a picker that fails says so in Japanese, and the scripts are downloaded", async () => {
        const page = await browser.context.newPage();
        await page.addInitScript(() => {
            window.showDirectoryPicker = async () => {
                throw new DOMException("The request is not allowed by the user agent.", "SecurityError");
            };
        });
        await page.goto(`${origin}/karumenio.html`);
        await page.waitForSelector("html[data-ready=true]");
        await button(page, "出力先…").click();
        const told = await answer(page);
        assert.equal(told.title, "SCR作成");
        assert.match(told.text, /^出力先のフォルダを選べませんでした。/);
        assert.doesNotMatch(told.text, /not allowed/);
        await page.close();
    });

    test("receives the four scripts, and is remembered for the next visit", async () => {
        const page = await pageWithPicker();
        await button(page, "出力先…").click();
        await page.waitForFunction(() => document.getElementById("folder-name").textContent === "図面出力");
        await pasteAt(page, "A6", worked);
        await chooseSettings(page, { edition: "20001", paper: "A3", scale: "500", angle: "-127.0559" });
        await button(page, "座 標 読 込").click();
        await answer(page);
        await button(page, ".SCR 出力").click();
        const done = await answer(page);
        assert.match(done.text, /図面出力/);
        assert.equal(page.downloads.length, 0);
        const cli = runCli(["--edition", "20001", "--paper", "A3", "--scale", "500", "--angle", "-127.0559"],
                           workedExample);
        const written = await folderFiles(page);
        assert.deepEqual(Object.keys(written).sort(), [...scriptNames].sort());
        for (const name of scriptNames) {
            assert.ok(Buffer.from(written[name]).equals(cli.files[name]), `${name} differs`);
        }

        // Another visit: the folder is still chosen and the next run goes there again. The
        // sheet comes back too, so the next job pasted over it replaces it once asked.
        await page.waitForFunction(() => Number(document.documentElement.dataset.sheetKept || 0) > 0);
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.equal(await page.locator("#folder-name").textContent(), "図面出力");
        assert.equal(await shown(page, "B17"), "T7");
        await pasteAt(page, "A6", worked.replace("T7", "T8"));
        assert.match((await answer(page, "置き換える")).text, /置き換えますか/);
        await button(page, "座 標 読 込").click();
        await answer(page);
        await button(page, ".SCR 出力").click();
        await answer(page);
        const again = await folderFiles(page);
        assert.ok(Buffer.from(again["TEXT.SCR"]).toString("latin1").includes("T8"));
        assert.equal(page.downloads.length, 0);
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

// The preview's exports come from the core's format table: each one must be the bytes the
// command-line tool writes with the format's option, GeoJSON only with a coordinate system. The
// 地積測量図 checkbox, kept like the other settings, adds KYUSEKI.SCR to the write.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, chooseSettings, join, launch, openPage, runCli, scriptNames, takeDownloads,
    top,
} from "./support.mjs";

const twoParcels = join(top, "examples/two_parcels.sim");

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

async function openAndRead(page, file) {
    const chooser = page.waitForEvent("filechooser");
    await button(page, "座標ファイルを開く…").click();
    await (await chooser).setFiles(file);
    await page.waitForFunction(() => document.querySelector("[aria-label=C6]")?.textContent.trim() !== "");
    await button(page, "座 標 読 込").click();
    await answer(page);
    await page.waitForFunction(() => !document.getElementById("plan").classList.contains("empty"));
}

// Presses a button and answers every message it brings; their texts.
async function pressAndCollect(page, caption) {
    await button(page, caption).click();
    const texts = [];
    for (;;) {
        const state = await page.waitForFunction(() => {
            if (document.getElementById("message").open) {
                return "message";
            }
            return document.documentElement.dataset.busy ? null : "done";
        });
        if ((await state.jsonValue()) === "done") {
            return texts;
        }
        texts.push((await answer(page)).text);
    }
}

const sameBytes = (ours, theirs, label) => {
    assert.ok(ours, `the page wrote no ${label}`);
    assert.ok(theirs, `the tool wrote no ${label}`);
    assert.ok(ours.equals(theirs), `${label} differs from the tool's`);
};

describe("the exports of the format table", () => {
    test("are one button each, and the area table and GeoJSON in system IX are the tool's bytes", async () => {
        const page = await openPage(browser.context);
        const captions = await page.locator("#exports button").allTextContents();
        assert.deepEqual(captions, ["DXF 出力…", "SIMA 出力…", "求積表 CSV 出力…", "GeoJSON 出力…"]);
        await openAndRead(page, twoParcels);

        // No system chosen: GeoJSON says to choose one of the list, and nothing is downloaded.
        const systems = await page.getByLabel("座標系 ：").locator("option").allTextContents();
        const refused = await pressAndCollect(page, "GeoJSON 出力…");
        assert.equal(refused.length, 1);
        assert.ok(refused[0].includes(`平面直角座標系（${systems[1]}〜${systems.at(-1)}）を選んで下さい`),
            refused[0]);
        assert.deepEqual(Object.keys(await takeDownloads(page)), []);

        await page.getByLabel("座標系 ：").selectOption({ label: "第IX系" });
        assert.deepEqual(await pressAndCollect(page, "求積表 CSV 出力…"), []);
        assert.deepEqual(await pressAndCollect(page, "GeoJSON 出力…"), []);
        const files = await takeDownloads(page, ["求積表.csv", "図面.geojson"]);

        const cli = runCli(["--zone", "9"], twoParcels,
            ["--area-csv", "求積表.csv", "--geojson", "図面.geojson"]);
        assert.equal(cli.status, 0, cli.stderr);
        sameBytes(files["求積表.csv"], cli.files["求積表.csv"], "area CSV");
        sameBytes(files["図面.geojson"], cli.files["図面.geojson"], "GeoJSON");
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("refuse where the write run refuses, with its message, and download nothing", async () => {
        const page = await openPage(browser.context);
        await openAndRead(page, twoParcels);
        await button(page, "LT 2000").click();
        const typeAt = async (name, text) => {
            await page.getByRole("gridcell", { name, exact: true }).click();
            await page.keyboard.type(text);
            await page.keyboard.press("Enter");
        };
        // The print is the page's PDF: it refuses as the files do, and prints nothing.
        await page.evaluate(() => {
            window.printed = 0;
            window.print = () => window.printed++;
        });
        const exports = ["DXF 出力…", "SIMA 出力…", "求積表 CSV 出力…", "GeoJSON 出力…", "PDF・印刷…"];
        for (const caption of exports) {
            // A coordinate that is no number, found by the read the export's question offers.
            await typeAt("C16", "abc");
            await button(page, caption).click();
            const question = await answer(page, "読み込み直して出力");
            assert.equal(question.title, "図面プレビュー");
            assert.match((await answer(page)).text, /C16/);
            const refusal = await answer(page);
            assert.match(refusal.text, /実行時エラー 13/);
            await button(page, ".SCR 出力").click();
            assert.equal((await answer(page)).text, refusal.text);
            // Put right and read again, for the next export.
            await typeAt("C16", "-23799");
            await button(page, "座 標 読 込").click();
            await answer(page);
            await page.waitForFunction(() => !document.getElementById("plan").classList.contains("empty"));
        }
        assert.deepEqual(Object.keys(await takeDownloads(page)), []);
        assert.equal(await page.evaluate(() => window.printed), 0);
        await button(page, "PDF・印刷…").click();
        await page.waitForFunction(() => window.printed === 1);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("地積測量図 is kept and brings KYUSEKI.SCR and the map in the DXF, as the tool writes them", async () => {
        const page = await openPage(browser.context);
        const box = page.getByLabel("地積測量図");
        assert.equal(await box.isChecked(), false);
        await box.check();
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.equal(await box.isChecked(), true);

        const settings = { edition: "2000", paper: "B4L", scale: "250", angle: "0.0000" };
        await chooseSettings(page, settings);
        await openAndRead(page, twoParcels);
        const written = await pressAndCollect(page, ".SCR 出力");
        assert.ok(written.some((t) => t.includes("ZAHYOU-LINE-PLOT-TEXT")), written.join("\n"));
        const names = [...scriptNames, "KYUSEKI.SCR"];
        const files = await takeDownloads(page, names);
        assert.deepEqual(Object.keys(files).sort(), [...names].sort());
        assert.deepEqual(await pressAndCollect(page, "DXF 出力…"), []);
        Object.assign(files, await takeDownloads(page, ["図面.dxf"]));

        const cli = runCli(["--edition", "2000", "--paper", "B4L", "--scale", "250", "--angle",
            "0.0000", "--survey-map"], twoParcels, ["--dxf", "図面.dxf"]);
        assert.equal(cli.status, 0, cli.stderr);
        for (const name of [...names, "図面.dxf"]) {
            sameBytes(files[name], cli.files[name], name);
        }
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

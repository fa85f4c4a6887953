// The preview's exports come from the core's format table: each one must be the bytes the
// command-line tool writes with the format's option, GeoJSON only with a coordinate system. The
// 地積測量図 checkbox, kept like the other settings, adds KYUSEKI.SCR to the write; its 図面情報
// fills the map as the tool's options do.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, chooseSettings, join, launch, openPage, runCli, scriptNames, takeDownloads,
    top, workFolder, writeFileSync,
} from "./support.mjs";

const twoParcels = join(top, "examples/two_parcels.sim");

let browser;
before(async () => {
    browser = await launch();
});
after(async () => {
    await browser.close();
});

async function openFile(page, file) {
    const chooser = page.waitForEvent("filechooser");
    await button(page, "座標ファイルを開く…").click();
    await (await chooser).setFiles(file);
}

// replace: the sheet already holds a job (a kept sheet), so the opening asks; 置き換える.
async function openAndRead(page, file, replace = false) {
    await openFile(page, file);
    if (replace) {
        assert.match((await answer(page, "置き換える")).text, /置き換えますか/);
    }
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
        // The map lacks the title block's fields, marks and neighbours, and the export says so.
        const exported = await pressAndCollect(page, "DXF 出力…");
        assert.equal(exported.length, 1);
        assert.match(exported[0], /申請人が入力されていません/);
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

    test("図面情報 and a table of marks give the map the tool gives with the same options", async () => {
        const folder = workFolder();
        const marks = join(folder, "marks.csv");
        writeFileSync(marks, "点名,境界標\nNo.1,コンクリート杭\nNo.2,金属標\nNo.3,金属標\n"
            + "No.4,石杭\nNo.5,なし\nNo.6,刻印\n");
        const page = await openPage(browser.context);
        await page.getByLabel("地積測量図").check();
        await chooseSettings(page, { edition: "2000", paper: "B4L", scale: "250", angle: "0.0000" });
        await openAndRead(page, twoParcels);
        // The table of marks fills in the job: no question, and the marks reach column H.
        await openFile(page, marks);
        await page.waitForFunction(() => document.querySelector("[aria-label=H6]")?.textContent.trim() !== "");
        await button(page, "座 標 読 込").click();
        await answer(page);
        const warnings = () => page.locator("#warnings li").allTextContents();
        await page.waitForFunction(() => document.getElementById("warnings").textContent.includes("申請人"));
        assert.ok((await warnings()).some((w) => w.includes("隣接地の地番")), (await warnings()).join("\n"));

        const fields = {
            所在: "千葉県市川市八幡一丁目", 地番: "669番1、669番2", 測量年月日: "2025-03-20",
            作成年月日: "2025-04-01", 申請人: "山田 花子", 作成者: "測量 太郎",
        };
        const neighbours = ["670番:No.3-No.4", "道路:No.4-No.2", "668番:No.2-No.6", "水路:No.6-No.3"];
        await button(page, "図面情報…").click();
        for (const [label, text] of Object.entries(fields)) {
            await page.getByLabel(label, { exact: true }).fill(text);
        }
        await page.getByLabel("地目", { exact: true }).selectOption("その他");
        await page.getByLabel("隣接地", { exact: true }).fill("670番:No.3-No.4\n道路");
        await button(page, "OK").click();
        assert.match(await page.locator("#info-problem").textContent(), /「道路」は「地番:点名-点名」/);
        await page.getByLabel("隣接地", { exact: true }).fill(neighbours.join("\n"));
        await button(page, "OK").click();
        await page.waitForFunction(() => !document.getElementById("drawing-info").open);
        // With every field the map lacks nothing; the system comes from 千葉県.
        await page.waitForFunction(() => !document.getElementById("warnings").textContent.includes("申請人"));
        assert.ok((await warnings()).some((w) => w.includes("千葉県の座標系 第IX系")), (await warnings()).join("\n"));

        // Kept for the next visit.
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        await button(page, "図面情報…").click();
        assert.equal(await page.getByLabel("申請人", { exact: true }).inputValue(), "山田 花子");
        assert.equal(await page.getByLabel("隣接地", { exact: true }).inputValue(), neighbours.join("\n"));
        await button(page, "キャンセル").click();
        // The sheet is kept for the next visit too, marks and all: the file replaces it.
        assert.notEqual((await page.locator("[aria-label=H6]").textContent()).trim(), "");
        await openAndRead(page, twoParcels, true);
        await openFile(page, marks);
        await page.waitForFunction(() => document.querySelector("[aria-label=H6]")?.textContent.trim() !== "");
        await button(page, "座 標 読 込").click();
        await answer(page);

        const written = await pressAndCollect(page, ".SCR 出力");
        assert.ok(written.some((t) => t.includes("ZAHYOU-LINE-PLOT-TEXT")), written.join("\n"));
        const files = await takeDownloads(page, [...scriptNames, "KYUSEKI.SCR"]);
        await pressAndCollect(page, "DXF 出力…");
        Object.assign(files, await takeDownloads(page, ["図面.dxf"]));
        const cli = runCli(["--edition", "2000", "--paper", "B4L", "--scale", "250", "--angle", "0.0000",
            "--survey-map", "--land-class", "その他", "--location", fields.所在, "--lot", fields.地番,
            "--survey-date", fields.測量年月日, "--date", fields.作成年月日, "--applicant", fields.申請人,
            "--surveyor", fields.作成者, "--marks", marks,
            ...neighbours.flatMap((n) => ["--adjacent", n])], twoParcels, ["--dxf", "図面.dxf"]);
        assert.equal(cli.status, 0, cli.stderr);
        for (const name of ["KYUSEKI.SCR", "図面.dxf"]) {
            sameBytes(files[name], cli.files[name], name);
        }
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

// Where the parcel lies: the coordinate system list, kept like the other settings, and
// "地図で確認" in the preview, which opens the web map at the plan's centroid as PROJ places it,
// and stays disabled, saying why, while no system is chosen.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { answer, button, join, launch, openPage, pasteAt, shown, top } from "./support.mjs";

const twoParcels = join(top, "examples/two_parcels.sim");

let browser;
before(async () => {
    browser = await launch();
    // The map is a page of the network, closed here: the address is what counts.
    await browser.context.route("https://maps.gsi.go.jp/**", (route) =>
        route.fulfill({ status: 200, contentType: "text/html", body: "<title>地図</title>" }));
});
after(async () => {
    await browser.close();
});

const systemList = (page) => page.getByLabel("座標系 ：");
const mapButton = (page) => button(page, "地図で確認");

// Latitude and longitude of a point of a plane rectangular system (by its number) by PROJ.
function projGeographic(system, x, y) {
    const script = `
from pyproj import Transformer
t = Transformer.from_crs("EPSG:${6668 + system}", "EPSG:6668")
lat, lon = t.transform(${x}, ${y})
print(f"{lat:.12f} {lon:.12f}")`;
    const result = spawnSync("/usr/bin/python3", ["-c", script], { encoding: "utf8" });
    assert.equal(result.status, 0, result.stderr);
    return result.stdout.trim().split(" ").map(Number);
}

// The X and Y of every read row as the sheet shows them, from A6 down to the first empty X.
async function sheetCoordinates(page) {
    const points = [];
    for (let row = 6; ; ++row) {
        const x = await shown(page, `C${row}`);
        if (x === "") {
            return points;
        }
        points.push([Number(x), Number(await shown(page, `D${row}`))]);
    }
}

async function openFile(page, file) {
    const chooser = page.waitForEvent("filechooser");
    await button(page, "座標ファイルを開く…").click();
    await (await chooser).setFiles(file);
    await page.waitForFunction(() => document.querySelector("[aria-label=C6]")?.textContent.trim() !== "");
}

async function read(page) {
    await button(page, "座 標 読 込").click();
    await answer(page);
    await page.waitForFunction(() => !document.getElementById("plan").classList.contains("empty"));
}

describe("the coordinate system", () => {
    test("is none or one of the systems by number, and is kept for the next visit", async () => {
        const page = await openPage(browser.context);
        const captions = await systemList(page).locator("option").allTextContents();
        const values = await systemList(page).locator("option").evaluateAll((o) => o.map((e) => e.value));
        assert.equal(captions[0], "なし");
        assert.equal(captions[9], "第IX系");
        assert.deepEqual(values, captions.map((_, i) => String(i)));
        assert.ok(captions.slice(1).every((c) => /^第[IVX]+系$/.test(c)), captions.join(" "));
        assert.equal(await systemList(page).inputValue(), "0");
        await systemList(page).selectOption({ label: "第XII系" });
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.equal(await systemList(page).inputValue(), "12");
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

describe("地図で確認", () => {
    test("waits for a system, then opens the map at the parcels' centroid", async () => {
        const page = await openPage(browser.context);
        assert.ok(await mapButton(page).isDisabled());
        await openFile(page, twoParcels);
        await read(page);
        // Read, but no system: still disabled, and its tip says what is missing.
        assert.ok(await mapButton(page).isDisabled());
        assert.match(await mapButton(page).getAttribute("title"), /座標系/);

        await systemList(page).selectOption({ label: "第IX系" });
        await page.waitForFunction(() => !document.getElementById("map-button").disabled);
        const popup = browser.context.waitForEvent("page");
        await mapButton(page).click();
        const map = await popup;
        await map.waitForLoadState();
        const address = /^https:\/\/maps\.gsi\.go\.jp\/#(\d+)\/(-?[\d.]+)\/(-?[\d.]+)\/$/.exec(map.url());
        assert.ok(address, map.url());
        const [zoom, latitude, longitude] = address.slice(1).map(Number);

        const points = await sheetCoordinates(page);
        assert.ok(points.length >= 7, `${points.length} rows read`);
        const mean = (i) => points.reduce((sum, p) => sum + p[i], 0) / points.length;
        const [projLatitude, projLongitude] = projGeographic(9, mean(0), mean(1));
        // Six decimals: within half a millionth of a degree.
        assert.ok(Math.abs(latitude - projLatitude) <= 5.1e-7, `${latitude} against ${projLatitude}`);
        assert.ok(Math.abs(longitude - projLongitude) <= 5.1e-7, `${longitude} against ${projLongitude}`);
        // Two lots some 30 m across: a view of a few streets.
        assert.ok(zoom >= 16 && zoom <= 18, `zoom ${zoom}`);
        // No warning about where the plan lies: it is in the system's land.
        assert.doesNotMatch(await page.locator("#warnings").textContent(), /重心/);
        await map.close();
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("a plan outside the chosen system's land is warned about, axes swapped named", async () => {
        const page = await openPage(browser.context);
        // Sendai in system X, its X and Y in each other's columns.
        await pasteAt(page, "A6", "K\tA\t1800\t-192000\r\n\tB\t1850\t-191950\r\n\tC\t1900\t-192000\r\n");
        await read(page);
        await systemList(page).selectOption({ label: "第X系" });
        const warnings = page.locator("#warnings");
        await warnings.getByText(/第X系の範囲外/).waitFor();
        assert.match(await warnings.textContent(), /X と Y が入れ替わっている/);
        // The map still opens: seeing the parcel in the sea is the quickest proof.
        assert.ok(await mapButton(page).isEnabled());
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

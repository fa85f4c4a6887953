// The installable edition served from 127.0.0.1, as a surveyor installs it: a valid manifest
// that Chromium would install, the service worker in charge after a reload, the page working
// with the network gone, and a survey file handed over by the system opening as if dropped.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { dirname, join } from "node:path";
import { serve } from "../serve.mjs";
import { answer, button, forgetEarlierVisits, launch, pagePath, shown } from "./support.mjs";

const folder = process.env.KARUMENIO_INSTALLABLE || join(dirname(pagePath), "installable");
const sima = [
    "G00,01,現場名,", "A00,",
    "A01,1,No.1,-23795.960,-32832.251,,", "A01,2,No.2,-23790.120,-32810.004,,",
    "A01,3,No.3,-23770.500,-32815.750,,", "A99,",
    "D00,1,669,1,", "B01,1,No.1,", "B01,2,No.2,", "B01,3,No.3,", "D99,",
].join("\r\n") + "\r\n";

let browser;
let server;
let origin;
before(async () => {
    browser = await launch();
    ({ server, origin } = await serve(folder));
});
after(async () => {
    server.close();
    await browser.close();
});

async function openInstalled() {
    const page = await browser.context.newPage();
    page.errors = [];
    page.on("pageerror", (error) => page.errors.push(error.message));
    // What the system does when a file is opened with the installed page, caught where the
    // page hands its consumer to the launch queue.
    await page.addInitScript(() => {
        const queue = window.launchQueue || {};
        queue.setConsumer = (consumer) => {
            window.launchConsumer = consumer;
        };
        if (!window.launchQueue) {
            Object.defineProperty(window, "launchQueue", { value: queue });
        }
    });
    await page.goto(`${origin}/`);
    await page.waitForSelector("html[data-ready=true]");
    await forgetEarlierVisits(page);
    return page;
}

describe("the installable edition", () => {
    test("has a manifest Chromium would install, in Japanese with its icons and file types", async () => {
        const page = await openInstalled();
        const cdp = await page.context().newCDPSession(page);
        const manifest = await cdp.send("Page.getAppManifest");
        assert.deepEqual(manifest.errors, []);
        const parsed = JSON.parse(manifest.data);
        assert.equal(parsed.name, "AutoCad 測量図面カルメニオ");
        assert.deepEqual(parsed.icons.map((i) => i.sizes), ["192x192", "512x512"]);
        assert.deepEqual(Object.values(parsed.file_handlers[0].accept).flat(), [".sim", ".csv", ".tsv"]);
        // The service worker is in charge after a reload; then nothing stands in the way.
        await page.evaluate(() => navigator.serviceWorker.ready);
        await page.reload();
        await page.waitForSelector("html[data-ready=true]");
        assert.ok(await page.evaluate(() => navigator.serviceWorker.controller !== null));
        const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
        assert.deepEqual(installabilityErrors, []);
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("reloads and reads a sheet with the network gone", async () => {
        const page = await openInstalled();
        await page.evaluate(() => navigator.serviceWorker.ready);
        // Chromium's offline mode as Playwright sets it leaves the service worker's own
        // fetches on the network, so the host goes away too, as it does for a surveyor in the
        // field; it comes back on the same port for the tests after this one.
        const port = server.address().port;
        await browser.context.setOffline(true);
        await new Promise((closed) => {
            server.close(closed);
            server.closeAllConnections();
        });
        try {
            await page.reload();
            await page.waitForSelector("html[data-ready=true]");
            // The network is gone indeed: what the service worker does not keep cannot come.
            assert.ok(await page.evaluate(() => fetch("manifest.webmanifest?again").then(() => false, () => true)));
            await page.evaluate(() => navigator.clipboard.writeText("K\tK1\t0\t0\r\n\tK2\t100\t0\r\n"));
            await page.getByRole("gridcell", { name: "A6", exact: true }).click();
            await page.keyboard.press("Control+V");
            await button(page, "LT 2000").click();
            await button(page, "座 標 読 込").click();
            assert.match((await answer(page)).text, /　2　/);
        } finally {
            await browser.context.setOffline(false);
            await new Promise((listening) => server.listen(port, "127.0.0.1", listening));
        }
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("opens a SIMA file the system hands to it as if it were dropped", async () => {
        const page = await openInstalled();
        await page.evaluate(async (text) => {
            // A file handle as the launch queue gives one: from the origin's private files.
            const root = await navigator.storage.getDirectory();
            const handle = await root.getFileHandle("lots.sim", { create: true });
            const writable = await handle.createWritable();
            await writable.write(text);
            await writable.close();
            await window.launchConsumer({ files: [handle] });
        }, sima);
        await page.waitForFunction(() => document.querySelector("[aria-label=B6]")?.textContent === "No.1");
        assert.equal(await shown(page, "A6"), "669");
        assert.equal(await shown(page, "B9"), "No.1");
        assert.deepEqual(page.errors, []);
        await page.close();
    });
});

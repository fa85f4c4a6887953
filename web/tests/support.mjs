// What the browser tests share: Debian's Chromium started as a surveyor's browser would be
// (without the network), the page opened from disk, the surveyor's actions (paste through the
// clipboard, buttons by their captions, dialogs answered, downloads collected), and the
// native command-line tool that every result is compared with.
import { chromium } from "playwright-core";
import { execFileSync, spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync, mkdirSync, readdirSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve, dirname } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

export const top = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
export const pagePath = process.env.KARUMENIO_PAGE || join(top, "build-web/karumenio.html");
export const pageUrl = pathToFileURL(pagePath).href;
export const cliPath = process.env.KARUMENIO_CLI || join(top, "build/cli/karumenio-cli");
export const workedExample = join(top, "examples/worked_example.tsv");
export const scriptNames = ["ZAHYOU.SCR", "LINE.SCR", "PLOT.SCR", "TEXT.SCR"];

// The captions of the edition buttons by the code the command-line tool takes.
export const editionCaptions = {
    97: "LT 97", 98: "LT 98", 2000: "LT 2000", 2002: "LT 2002", 20001: "2000(R)",
};

// Without the background services Chromium would keep knocking on a closed network.
const chromiumArguments = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-default-apps", "--disable-features=Translate,MediaRouter",
];

export async function launch() {
    const profile = mkdtempSync(join(tmpdir(), "karumenio-chromium-"));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.KARUMENIO_CHROMIUM || "/usr/bin/chromium",
        args: chromiumArguments,
        headless: true,
        viewport: { width: 1400, height: 900 },
        locale: "ja-JP",
        acceptDownloads: true,
    });
    await context.grantPermissions(["clipboard-read", "clipboard-write"]);
    const close = async () => {
        await context.close();
        rmSync(profile, { recursive: true, force: true });
    };
    return { context, close };
}

// A page of the browser edition, ready for input, that fails the test on any script error.
export async function openPage(context, { fresh = true } = {}) {
    const page = await context.newPage();
    page.errors = [];
    page.on("pageerror", (error) => page.errors.push(error.message));
    page.downloads = [];
    page.on("download", (download) => page.downloads.push(download));
    // Anything the page asks for beyond itself: it must need nothing.
    page.fetched = [];
    page.on("request", (request) => {
        if (!/^(file|data|blob):/.test(request.url())) {
            page.fetched.push(request.url());
        }
    });
    await page.goto(pageUrl);
    await page.waitForSelector("html[data-ready=true]");
    if (fresh) {
        await forgetEarlierVisits(page);
    }
    return page;
}

// What an earlier test chose or left in the sheet is remembered by the browser for the page's
// origin; the page reloads with the defaults and an empty sheet.
export async function forgetEarlierVisits(page) {
    await page.evaluate(async () => {
        localStorage.clear();
        await new Promise((resolve) => {
            const request = indexedDB.deleteDatabase("karumenio");
            request.onsuccess = request.onerror = request.onblocked = resolve;
        });
    });
    await page.reload();
    await page.waitForSelector("html[data-ready=true]");
}

export const cell = (page, name) => page.getByRole("gridcell", { name, exact: true });
// A cell's shown text without the blank a number format such as "0.0_ " leaves after it.
export const shown = async (page, name) => (await cell(page, name).textContent()).trimEnd();
export const button = (page, name) => page.getByRole("button", { name, exact: true });
export const dialog = (page) => page.getByRole("alertdialog");

// Puts the text on the system clipboard, selects the cell and presses Ctrl+V.
export async function pasteAt(page, name, text) {
    await page.evaluate((t) => navigator.clipboard.writeText(t), text);
    await cell(page, name).click();
    await page.keyboard.press("Control+V");
}

// The open message box: its title and text, answered with the button given.
export async function answer(page, caption = "OK") {
    const box = dialog(page);
    await box.waitFor();
    const title = await box.locator("h2").textContent();
    const text = await box.locator("#message-text").textContent();
    const buttons = await box.getByRole("button").allTextContents();
    const shownBefore = await box.getAttribute("data-shown");
    await box.getByRole("button", { name: caption, exact: true }).click();
    // Closed, or the next box already in its place.
    await page.waitForFunction((count) => {
        const element = document.getElementById("message");
        return !element.open || element.dataset.shown !== count;
    }, shownBefore);
    return { title, text, buttons };
}

export async function chooseSettings(page, { edition, paper, scale, angle }) {
    if (edition) {
        await button(page, editionCaptions[edition]).click();
    }
    if (paper) {
        await page.getByLabel("用紙設定 ：").selectOption(paper);
    }
    if (scale) {
        await page.getByLabel("縮尺設定 ：").selectOption(scale);
    }
    if (angle !== undefined) {
        await page.getByLabel("角度(UCS) ：").fill(angle);
    }
}

// Types into a cell and enters it.
export async function typeInto(page, name, text) {
    await cell(page, name).click();
    await page.keyboard.type(text);
    await page.keyboard.press("Enter");
}

// The files of the names given once the page has downloaded them all, as bytes by name; the
// downloads taken are forgotten. An empty list takes whatever came so far.
export async function takeDownloads(page, names = []) {
    const deadline = Date.now() + 10000;
    const arrived = () => names.every((name) => page.downloads.some((d) => d.suggestedFilename() === name));
    while (!arrived() && Date.now() < deadline) {
        await page.waitForTimeout(20);
    }
    const files = {};
    for (const download of page.downloads.splice(0)) {
        files[download.suggestedFilename()] = readFileSync(await download.path());
    }
    return files;
}

// Runs the native command-line tool; the files it wrote, its status and its messages.
export function runCli(options, pointsFile, extra = []) {
    const out = mkdtempSync(join(tmpdir(), "karumenio-cli-"));
    const result = spawnSync(cliPath, [...options, ...extra, "--out", out, pointsFile], {
        cwd: out,
        encoding: "buffer",
    });
    const files = {};
    for (const name of readdirSync(out)) {
        files[name] = readFileSync(join(out, name));
    }
    rmSync(out, { recursive: true, force: true });
    return { status: result.status, stdout: result.stdout.toString(), stderr: result.stderr.toString(), files };
}

export function workFolder() {
    return mkdtempSync(join(tmpdir(), "karumenio-web-test-"));
}

// The generated sheets of the Windows comparison, with the options each is run with.
export function generatedSheets(folder, count, seed) {
    const python = spawnSync("/usr/bin/python3", ["--version"]).status === 0 ? "/usr/bin/python3" : "python3";
    const args = [join(top, "tools/comparison_sheets.py"), folder, String(count)];
    if (seed !== undefined) {
        args.push(String(seed));
    }
    execFileSync(python, args);
    return readFileSync(join(folder, "sheets.txt"), "utf8").trim().split("\n").map((line) => {
        const [file, description, ...options] = line.split("\t");
        const settings = {};
        for (const option of options) {
            const [, key, value] = /^--([a-z]+)=(.*)$/.exec(option);
            settings[key] = value;
        }
        return { file: join(folder, file), name: file, description, options, settings };
    });
}

export { writeFileSync, mkdirSync, readFileSync, join };

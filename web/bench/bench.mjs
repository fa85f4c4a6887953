// How fast the browser edition is in headless Chromium on this machine: the page ready for
// input after opening it from disk; a paste of 3001 rows, the read and the write into memory,
// through the core's bindings and through the page's own handlers (warm, median of several);
// and scrolling the grid over all its rows, frame by frame. A measurement, not a test; the
// native figures of the same steps come from build-rel/bench/karumenio-bench-web.
// Usage: node web/bench/bench.mjs [PAGE]    (run from web/tests' node_modules: see README)
import { createRequire } from "node:module";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve, dirname } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(join(here, "../tests/package.json"))("playwright-core");
const page = resolve(process.argv[2] || join(here, "../../build-web/karumenio.html"));
const url = pathToFileURL(page).href;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;

// The rows of the native benchmark (bench/pointsfile.cpp), so that the figures compare: a
// break mark every 50th row, a Japanese name, X and Y with six decimals, a radius.
function rows3001() {
    let rows = "";
    for (let i = 0; i < 3001; ++i) {
        rows += `${i % 50 === 0 ? "K" : ""}\t測点${i}\t${(10000 + i * 1.25).toFixed(6)}\t` +
            `${(-5000 + i * 0.75).toFixed(6)}\t${i % 7}\r\n`;
    }
    return rows;
}

const profile = mkdtempSync(join(tmpdir(), "karumenio-bench-"));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.KARUMENIO_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    viewport: { width: 1400, height: 900 },
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});
const results = {};

// Ready: from the start of navigation to the moment the page says it takes input.
await context.addInitScript(() => {
    new MutationObserver((_, observer) => {
        if (document.documentElement && document.documentElement.dataset.ready) {
            window.readyAt = performance.now();
            observer.disconnect();
        }
    }).observe(document, { attributes: true, subtree: true, attributeFilter: ["data-ready"] });
});
const ready = [];
for (let i = 0; i < 6; ++i) {
    const tab = await context.newPage();
    await tab.goto(url);
    await tab.waitForSelector("html[data-ready=true]");
    ready.push(await tab.evaluate(() => window.readyAt));
    await tab.close();
}
results["page ready for input (first open)"] = ms(ready[0]);
results["page ready for input (median of the next 5)"] = ms(median(ready.slice(1)));

const tab = await context.newPage();
await tab.goto(url);
await tab.waitForSelector("html[data-ready=true]");
const text = rows3001();

// The core through its bindings, in the page's WebAssembly: paste, read, write into memory.
const core = await tab.evaluate(async (text) => {
    const module = await createKarumenio({ wasmBinary: await karumenioWasm() });
    const job = new module.PageJob();
    const settings = { edition: "2000", paper: "A1", scale: "1000", angle: "30.0000" };
    const times = { paste: [], read: [], plan: [], write: [] };
    for (let i = 0; i < 7; ++i) {
        let t = performance.now();
        job.paste(6, 1, text, i > 0);
        times.paste.push(performance.now() - t);
        t = performance.now();
        job.read();
        times.read.push(performance.now() - t);
        t = performance.now();
        job.plan(settings);
        times.plan.push(performance.now() - t);
        t = performance.now();
        const outcome = job.write(settings, "out");
        times.write.push(performance.now() - t);
        if (!outcome.ok) {
            throw new Error(outcome.message.text);
        }
    }
    return times;
}, text);
for (const [step, values] of Object.entries(core)) {
    results[`core ${step}, 3001 points (median of 6 warm)`] = ms(median(values.slice(1)));
}

// The page's own handlers: Ctrl+V on the grid up to the next frame drawn; the read button up
// to the frame that shows its message, and up to the preview of 3001 points drawn after it.
const ui = await tab.evaluate(async (text) => {
    const grid = document.getElementById("grid");
    const svg = document.getElementById("plan");
    const nextFrame = () => new Promise((resolve) => requestAnimationFrame(resolve));
    const frameDone = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
    const times = { paste: [], message: [], preview: [] };
    document.querySelector(".edition").click();
    for (let i = 0; i < 6; ++i) {
        const data = new DataTransfer();
        data.setData("text/plain", text);
        grid.querySelector("[aria-label=A6]").dispatchEvent(new PointerEvent("pointerdown", { bubbles: true, button: 0 }));
        let t = performance.now();
        grid.dispatchEvent(new ClipboardEvent("paste", { clipboardData: data, bubbles: true }));
        await frameDone();
        times.paste.push(performance.now() - t);
        const shown = Number(svg.dataset.shown);
        t = performance.now();
        document.getElementById("read-button").click();
        await nextFrame();
        times.message.push(performance.now() - t);
        while (Number(svg.dataset.shown) === shown) {
            await new Promise((resolve) => setTimeout(resolve, 1));
        }
        await frameDone();
        times.preview.push(performance.now() - t);
        document.querySelector("#message-buttons button").click();
        grid.dispatchEvent(new KeyboardEvent("keydown", { key: "z", ctrlKey: true, bubbles: true }));
        await frameDone();
    }
    return times;
}, text);
results["page: Ctrl+V of 3001 rows to the next frame (median of 5 warm)"] = ms(median(ui.paste.slice(1)));
results["page: read button to its message's frame (median of 5 warm)"] = ms(median(ui.message.slice(1)));
results["page: read button to the preview of 3001 points drawn"] = ms(median(ui.preview.slice(1)));

// Scrolling: the grid moved through all rows at a steady pace, one step per frame.
const scroll = await tab.evaluate(async (text) => {
    const grid = document.getElementById("grid");
    const data = new DataTransfer();
    data.setData("text/plain", text);
    grid.dispatchEvent(new ClipboardEvent("paste", { clipboardData: data, bubbles: true }));
    const intervals = [];
    let last = performance.now();
    const end = grid.scrollHeight * (3010 / 65536);
    await new Promise((resolve) => {
        const step = (now) => {
            intervals.push(now - last);
            last = now;
            grid.scrollTop += 180;
            if (grid.scrollTop < end) {
                requestAnimationFrame(step);
            } else {
                resolve();
            }
        };
        requestAnimationFrame(step);
    });
    intervals.shift();
    const sorted = [...intervals].sort((a, b) => a - b);
    return {
        frames: intervals.length,
        median: sorted[Math.floor(sorted.length / 2)],
        p95: sorted[Math.floor(sorted.length * 0.95)],
        longest: sorted[sorted.length - 1],
        // A frame is dropped when it takes longer than one and a half 60 Hz frames.
        dropped: intervals.filter((v) => v > 25).length,
    };
}, text);
results["scroll through 3001 rows"] =
    `${scroll.frames} frames, median ${ms(scroll.median)}, p95 ${ms(scroll.p95)}, ` +
    `longest ${ms(scroll.longest)}, over 25 ms: ${scroll.dropped}`;

await context.close();
rmSync(profile, { recursive: true, force: true });
for (const [what, value] of Object.entries(results)) {
    console.log(`${what.padEnd(66)} ${value}`);
}

// Pictures of the browser edition in headless Chromium: the empty page, the worked example
// read, its preview at 30°, a message, the usage window, and the preview of a SIMA file with
// its coordinate system chosen, 地図で確認 ready.
// Usage: node web/screenshots.mjs FOLDER [PAGE]    (after npm ci in web/tests)
import { createRequire } from "node:module";
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve, dirname } from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(join(here, "tests/package.json"))("playwright-core");
const folder = resolve(process.argv[2] || "shots");
const page = resolve(process.argv[3] || join(here, "../build-web/karumenio.html"));
mkdirSync(folder, { recursive: true });

const profile = mkdtempSync(join(tmpdir(), "karumenio-shots-"));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.KARUMENIO_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    viewport: { width: 1400, height: 860 },
    locale: "ja-JP",
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});
await context.grantPermissions(["clipboard-read", "clipboard-write"]);
const tab = await context.newPage();
await tab.goto(pathToFileURL(page).href);
await tab.waitForSelector("html[data-ready=true]");
const shot = (name) => tab.screenshot({ path: join(folder, name) });
const press = (name) => tab.getByRole("button", { name, exact: true }).click();
const ok = () => tab.getByRole("alertdialog").getByRole("button", { name: "OK" }).click();

await shot("empty.png");
const worked = readFileSync(join(here, "../examples/worked_example.tsv"), "utf8");
await tab.evaluate((text) => navigator.clipboard.writeText(text), worked);
await tab.getByRole("gridcell", { name: "A6", exact: true }).click();
await tab.keyboard.press("Control+V");
await press("LT 2000");
await tab.getByLabel("縮尺設定 ：").selectOption("400");
await press("座 標 読 込");
await shot("message.png");
await ok();
await shot("worked-example-read.png");
await tab.getByLabel("角度(UCS) ：").fill("30.0000");
await tab.getByLabel("縮尺設定 ：").selectOption("500");
await press("全体表示");
// Closer, so that the names are drawn.
const box = await tab.locator("#plan").boundingBox();
await tab.mouse.move(box.x + box.width * 0.55, box.y + box.height * 0.5);
await tab.mouse.wheel(0, -400);
await tab.getByRole("gridcell", { name: "B8", exact: true }).click();
await shot("preview-30.png");
await press("使用方法・説明");
await shot("usage.png");
await press("閉じる");

const chooser = tab.waitForEvent("filechooser");
await press("座標ファイルを開く…");
await (await chooser).setFiles(join(here, "../examples/two_parcels.sim"));
await tab.getByRole("alertdialog").getByRole("button", { name: "置き換える" }).click();
await tab.getByLabel("角度(UCS) ：").fill("0.0000");
await tab.getByLabel("縮尺設定 ：").selectOption("250");
await tab.getByLabel("座標系 ：").selectOption({ label: "第IX系" });
await press("座 標 読 込");
await ok();
await tab.waitForFunction(() => !document.getElementById("map-button").disabled);
await press("全体表示");
await shot("preview-map.png");
await context.close();
rmSync(profile, { recursive: true, force: true });
console.log(`Pictures in ${folder}`);

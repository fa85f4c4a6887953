// Survey files opened into the sheet: SIMA and CSV by the file button and by dropping them on
// the page, the replace question over an earlier job, and a file the tool refuses.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import {
    answer, button, chooseSettings, join, launch, openPage, pasteAt, readFileSync, runCli,
    scriptNames, shown, takeDownloads, workedExample, workFolder, writeFileSync,
} from "./support.mjs";

const sima = [
    "G00,01,現場名,", "A00,",
    "A01,1,No.1,-23795.960,-32832.251,,", "A01,2,No.2,-23790.120,-32810.004,,",
    "A01,3,No.3,-23770.500,-32815.750,,", "A01,4,ｸｲ4,-23780.000,-32840.500,,", "A99,",
    "D00,1,669,1,", "B01,1,No.1,", "B01,2,No.2,", "B01,3,No.3,", "D99,",
].join("\r\n") + "\r\n";

let browser;
let folder;
before(async () => {
    browser = await launch();
    folder = workFolder();
});
after(async () => {
    await browser.close();
});

async function openThroughButton(page, file) {
    const chooser = page.waitForEvent("filechooser");
    await button(page, "座標ファイルを開く…").click();
    await (await chooser).setFiles(file);
}

describe("a SIMA file", () => {
    test("opened by the file button reads and writes as the tool reads and writes it", async () => {
        const file = join(folder, "lots.sim");
        writeFileSync(file, sima);
        const page = await openPage(browser.context);
        await openThroughButton(page, file);
        await page.waitForFunction(() => document.querySelector("[aria-label=B6]")?.textContent === "No.1");
        // The parcel is one section closed on its first point; the point of no parcel follows.
        assert.equal(await shown(page, "A6"), "669");
        assert.equal(await shown(page, "B9"), "No.1");
        assert.equal(await shown(page, "B10"), "ｸｲ4");
        await chooseSettings(page, { edition: "2000", scale: "500" });
        await button(page, "座 標 読 込").click();
        const read = await answer(page);
        await button(page, ".SCR 出力").click();
        await answer(page);
        const files = await takeDownloads(page, scriptNames);
        const cli = runCli(["--edition", "2000", "--scale", "500"], file);
        assert.equal(read.text, cli.stdout.split("\n")[0]);
        for (const name of scriptNames) {
            assert.ok(files[name].equals(cli.files[name]), `${name} differs`);
        }
        assert.deepEqual(page.errors, []);
        await page.close();
    });

    test("dropped on the page over an earlier job asks first, and replaces it as one step", async () => {
        const page = await openPage(browser.context);
        await pasteAt(page, "A6", readFileSync(workedExample, "utf8"));
        const drop = async () => {
            const transfer = await page.evaluateHandle((text) => {
                const data = new DataTransfer();
                data.items.add(new File([text], "lots.sim"));
                return data;
            }, sima);
            await page.dispatchEvent("#preview-panel", "drop", { dataTransfer: transfer });
        };
        await drop();
        const question = await answer(page, "キャンセル");
        assert.deepEqual(question.buttons, ["置き換える", "上から貼り付ける", "キャンセル"]);
        assert.equal(await shown(page, "B17"), "T7");
        await drop();
        await answer(page, "置き換える");
        await page.waitForFunction(() => document.querySelector("[aria-label=B6]")?.textContent === "No.1");
        assert.equal(await shown(page, "B11"), "");
        assert.equal(await shown(page, "B17"), "");
        await page.locator("#grid").focus();
        await page.keyboard.press("Control+Z");
        assert.equal(await shown(page, "B17"), "T7");
        await page.close();
    });
});

describe("a file the tool refuses", () => {
    test("is refused with the tool's words and leaves the sheet alone", async () => {
        const file = join(folder, "comma.csv");
        // A decimal comma leaves the second line with more fields than the header names.
        writeFileSync(file, "点名,X,Y\r\nP1,100.5,200.25\r\nP2,1234,567,300,125\r\n");
        const cli = runCli(["--edition", "2000"], file);
        assert.notEqual(cli.status, 0);
        const page = await openPage(browser.context);
        await openThroughButton(page, file);
        const refusal = await answer(page);
        assert.equal(refusal.title, "座標ファイルを開く");
        assert.equal(refusal.text, cli.stderr.replace(/^karumenio-cli: /, "").trimEnd());
        assert.equal(await shown(page, "B6"), "");
        await page.close();
    });
});

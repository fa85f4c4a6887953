// Writes the browser edition as one HTML file: the page with its style sheet, its scripts, the
// module built by emscripten (the WebAssembly inside it) and the pictures inlined, so that it
// opens from disk with nothing else.
// Usage: node assemble.mjs PAGE_FOLDER MODULE_JS PICTURE_FOLDER OUTPUT_HTML
// The WebAssembly beside MODULE_JS goes in compressed, as base64 in a script element that is not
// JavaScript: the browser has a third of the text to read before it starts, and no script to
// parse in it.
import { readFileSync, writeFileSync, renameSync } from "node:fs";
import { gzipSync } from "node:zlib";
import { join } from "node:path";

const [pageFolder, moduleFile, pictureFolder, output] = process.argv.slice(2);
const read = (file) => readFileSync(file, "utf8");
const dataUrl = (file, type) => `data:${type};base64,${readFileSync(file).toString("base64")}`;

// The order the page's scripts need: helpers first, the start last.
const scripts = ["dialogs.js", "grid.js", "preview.js", "print.js", "output.js", "controls.js",
                 "guidewindows.js", "session.js", "main.js"];

// Text inside <script> or <style> must not close the element early.
function inline(text, tag) {
    return text.replace(new RegExp(`</(${tag})`, "gi"), "<\\/$1");
}

const pieces = {
    "/*@STYLE@*/": inline(read(join(pageFolder, "style.css")), "style"),
    "/*@MODULE@*/": inline(read(moduleFile), "script"),
    "@WASM@": gzipSync(readFileSync(moduleFile.replace(/\.js$/, ".wasm")), { level: 9 }).toString("base64"),
    "/*@SCRIPTS@*/": inline(scripts.map((name) => read(join(pageFolder, name))).join("\n"), "script"),
    "@ICON@": dataUrl(join(pictureFolder, "karumenio.png"), "image/png"),
    "@EXAMPLE@": dataUrl(join(pictureFolder, "example.png"), "image/png"),
};

let html = read(join(pageFolder, "index.html"));
for (const [marker, text] of Object.entries(pieces)) {
    if (!html.includes(marker)) {
        throw new Error(`index.html lacks ${marker}`);
    }
    // Split and joined: "$" in the inlined text is no replacement pattern.
    html = html.split(marker).join(text);
}
// Written whole under another name first: a build that stops half-way leaves no broken page.
writeFileSync(output + ".part", html);
renameSync(output + ".part", output);

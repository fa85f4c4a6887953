// Writes the browser edition as one HTML file: the page with its style sheet, its scripts, the
// module built by emscripten (the WebAssembly inside it) and the pictures inlined, so that it
// opens from disk with nothing else.
// Usage: node assemble.mjs PAGE_FOLDER MODULE_JS PICTURE_FOLDER OUTPUT_HTML
// The page's scripts are the <script src> elements of index.html, the one list of them; beside
// OUTPUT_HTML goes OUTPUT_HTML.d, the files it was made of, for the build to follow.
// The WebAssembly beside MODULE_JS goes in compressed, as base64 in a script element that is not
// JavaScript: the browser has a third of the text to read before it starts, and no script to
// parse in it.
import { readFileSync, writeFileSync, renameSync } from "node:fs";
import { gzipSync } from "node:zlib";
import { join, resolve } from "node:path";

const [pageFolder, moduleFile, pictureFolder, output] = process.argv.slice(2);
const sources = [];
const bytesOf = (file) => {
    sources.push(resolve(file));
    return readFileSync(file);
};
const read = (file) => bytesOf(file).toString("utf8");
const dataUrl = (file, type) => `data:${type};base64,${bytesOf(file).toString("base64")}`;

// Text inside <script> or <style> must not close the element early.
function inline(text, tag) {
    return text.replace(new RegExp(`</(${tag})`, "gi"), "<\\/$1");
}

// Written whole under another name first: a build that stops half-way leaves no broken file.
function writeWhole(file, content) {
    writeFileSync(file + ".part", content);
    renameSync(file + ".part", file);
}

const pieces = {
    "/*@STYLE@*/": () => inline(read(join(pageFolder, "style.css")), "style"),
    "/*@MODULE@*/": () => inline(read(moduleFile), "script"),
    "@WASM@": () =>
        gzipSync(bytesOf(moduleFile.replace(/\.js$/, ".wasm")), { level: 9 }).toString("base64"),
    "@ICON@": () => dataUrl(join(pictureFolder, "karumenio.png"), "image/png"),
    "@EXAMPLE@": () => dataUrl(join(pictureFolder, "example.png"), "image/png"),
};

let html = read(join(pageFolder, "index.html"));
// The page's own scripts first, so that nothing in the module is taken for one of them.
html = html.replace(/<script src="([\w.-]+\.js)"><\/script>/g,
    (_, name) => `<script>${inline(read(join(pageFolder, name)), "script")}</script>`);
for (const [marker, text] of Object.entries(pieces)) {
    if (!html.includes(marker)) {
        throw new Error(`index.html lacks ${marker}`);
    }
    // Split and joined (and a function above): "$" in the inlined text is no replacement
    // pattern.
    html = html.split(marker).join(text());
}

writeWhole(output, html);
const escape = (path) => path.replace(/ /g, "\\ ");
writeWhole(output + ".d", `${escape(resolve(output))}: ${sources.map(escape).join(" \\\n  ")}\n`);

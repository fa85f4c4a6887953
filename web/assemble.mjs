// Writes the browser edition as one HTML file: the page with its style sheet, its scripts, the
// module built by emscripten (the WebAssembly inside it) and the pictures inlined, so that it
// opens from disk with nothing else. With SERVED_FOLDER it also writes the installable edition
// there, for a web server: the same page as index.html with its web app manifest, its icons
// and the service worker that keeps it for use offline.
// Usage: node assemble.mjs PAGE_FOLDER MODULE_JS PICTURE_FOLDER OUTPUT_HTML [SERVED_FOLDER]
// The page's scripts are the <script src> elements of index.html, the one list of them; beside
// OUTPUT_HTML goes OUTPUT_HTML.d, the files it was made of, for the build to follow.
// The WebAssembly beside MODULE_JS goes in compressed, as base64 in a script element that is not
// JavaScript: the browser has a third of the text to read before it starts, and no script to
// parse in it.
import { createHash } from "node:crypto";
import { mkdirSync, readFileSync, writeFileSync, renameSync } from "node:fs";
import { gzipSync } from "node:zlib";
import { join, resolve } from "node:path";

const [pageFolder, moduleFile, pictureFolder, output, servedFolder] = process.argv.slice(2);
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

// The page's own scripts first, so that nothing in the module is taken for one of them.
const scriptsInline = (text) => text.replace(/<script src="([\w.-]+\.js)"><\/script>/g,
    // A function as the replacement: "$" in a script is no replacement pattern.
    (_, name) => `<script>${inline(read(join(pageFolder, name)), "script")}</script>`);
const filled = {};
function assemble(template) {
    let html = scriptsInline(template);
    for (const [marker, text] of Object.entries(pieces)) {
        if (!html.includes(marker)) {
            throw new Error(`index.html lacks ${marker}`);
        }
        filled[marker] ??= text();
        // Split and joined: "$" in the inlined text is no replacement pattern either.
        html = html.split(marker).join(filled[marker]);
    }
    return html;
}

// What only the installed edition has, where index.html marks its places.
const installed = {
    "<!--@INSTALLED-HEAD@-->":
        '<link rel="manifest" href="manifest.webmanifest">\n<meta name="theme-color" content="#0a64c8">',
    "<!--@INSTALLED-SCRIPTS@-->": '<script src="installed.js"></script>',
};
const template = read(join(pageFolder, "index.html"));
const withInstalled = (keep) => Object.entries(installed).reduce((text, [marker, addition]) => {
    if (!text.includes(marker)) {
        throw new Error(`index.html lacks ${marker}`);
    }
    return text.split(marker).join(keep ? addition : "");
}, template);

writeWhole(output, assemble(withInstalled(false)));
if (servedFolder) {
    mkdirSync(servedFolder, { recursive: true });
    const page = assemble(withInstalled(true));
    writeWhole(join(servedFolder, "index.html"), page);
    // A new page, a new cache: the service worker's own bytes change with the page's.
    const version = createHash("sha256").update(page).digest("hex").slice(0, 16);
    writeWhole(join(servedFolder, "serviceworker.js"),
        read(join(pageFolder, "serviceworker.js")).split("@VERSION@").join(version));
    for (const name of ["manifest.webmanifest", "icon-192.png", "icon-512.png"]) {
        writeWhole(join(servedFolder, name), bytesOf(join(pageFolder, name)));
    }
}
const escape = (path) => path.replace(/ /g, "\\ ");
const made = [...new Set(sources)];
writeWhole(output + ".d", `${escape(resolve(output))}: ${made.map(escape).join(" \\\n  ")}\n`);

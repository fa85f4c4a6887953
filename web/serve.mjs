// Serves the installable browser edition from this machine, the way a surveyor starts it
// without a web host: http://127.0.0.1 counts as a secure origin, so the browser installs the
// page, runs its service worker and hands it files, as from an HTTPS host.
// Usage: node web/serve.mjs [FOLDER] [PORT]    (default build-web/installable, 8080)
// The tests start it on a free port through serve().
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".webmanifest": "application/manifest+json",
    ".png": "image/png",
};

export function serve(folder, port = 0) {
    const root = resolve(folder);
    const server = createServer(async (request, response) => {
        const path = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
        const file = normalize(join(root, path.endsWith("/") ? path + "index.html" : path));
        // Nothing outside the folder, nothing but its own kinds of file.
        if (!file.startsWith(root + "/") || !TYPES[extname(file)]) {
            response.writeHead(404).end();
            return;
        }
        try {
            const bytes = await readFile(file);
            response.writeHead(200, { "Content-Type": TYPES[extname(file)], "Cache-Control": "no-cache" });
            response.end(bytes);
        } catch {
            response.writeHead(404).end();
        }
    });
    return new Promise((done) => server.listen(port, "127.0.0.1", () =>
        done({ server, origin: `http://127.0.0.1:${server.address().port}` })));
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
    const top = resolve(fileURLToPath(import.meta.url), "../..");
    const [folder = join(top, "build-web/installable"), port = "8080"] = process.argv.slice(2);
    const { origin } = await serve(folder, Number(port));
    console.log(`カルメニオ: ${origin}/ (Ctrl+C で終了)`);
}

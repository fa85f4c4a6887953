"use strict";
// Where the files go: a folder chosen once through the File System Access API (Edge,
// Chrome), kept in IndexedDB and asked for permission again on a later visit; without one,
// the browser's downloads. The settings of the controls are kept in localStorage, the sheet's
// cells in IndexedDB.
const Output = (() => {
    const DATABASE = "karumenio";
    const STORE = "handles";
    const FOLDER_KEY = "outputFolder";
    const SHEET_KEY = "sheet";
    const SETTINGS_KEY = "karumenio.settings";

    function database() {
        return new Promise((resolve, reject) => {
            const request = indexedDB.open(DATABASE, 1);
            request.onupgradeneeded = () => request.result.createObjectStore(STORE);
            request.onsuccess = () => resolve(request.result);
            request.onerror = () => reject(request.error);
        });
    }

    async function stored(mode, action) {
        const db = await database();
        try {
            return await new Promise((resolve, reject) => {
                const transaction = db.transaction(STORE, mode);
                const request = action(transaction.objectStore(STORE));
                transaction.oncomplete = () => resolve(request.result);
                transaction.onerror = () => reject(transaction.error);
            });
        } finally {
            db.close();
        }
    }

    const canChooseFolder = () => typeof window.showDirectoryPicker === "function";

    async function permitted(handle, ask) {
        const options = { mode: "readwrite" };
        if (typeof handle.queryPermission !== "function") {
            return true;
        }
        if ((await handle.queryPermission(options)) === "granted") {
            return true;
        }
        return ask && (await handle.requestPermission(options)) === "granted";
    }

    function download(files) {
        // Counted, so that a test tells a file the page handed over from one the browser dropped.
        const root = document.documentElement;
        root.dataset.downloads = String(Number(root.dataset.downloads || 0) + files.length);
        for (const file of files) {
            const url = URL.createObjectURL(new Blob([file.bytes], { type: "application/octet-stream" }));
            const link = document.createElement("a");
            link.href = url;
            link.download = file.name;
            link.style.display = "none";
            document.body.append(link);
            link.click();
            link.remove();
            // The download has taken the bytes once the click has been handled.
            setTimeout(() => URL.revokeObjectURL(url), 60000);
        }
    }

    // Every file is written to its swap file first; only when all are complete are they put
    // in place, one after the other, so that a failure half-way leaves the folder as it was
    // as far as the browser allows.
    async function writeInto(folder, files) {
        const writables = [];
        try {
            for (const file of files) {
                const handle = await folder.getFileHandle(file.name, { create: true });
                const writable = await handle.createWritable({ keepExistingData: false });
                writables.push(writable);
                await writable.write(file.bytes);
            }
        } catch (error) {
            await Promise.all(writables.map((w) => w.abort().catch(() => {})));
            throw error;
        }
        for (const writable of writables) {
            await writable.close();
        }
    }

    return {
        canChooseFolder,
        async folder() {
            try {
                return (await stored("readonly", (s) => s.get(FOLDER_KEY))) || null;
            } catch {
                return null;
            }
        },
        async chooseFolder() {
            const handle = await window.showDirectoryPicker({ id: "karumenio", mode: "readwrite" });
            await stored("readwrite", (s) => s.put(handle, FOLDER_KEY));
            return handle;
        },
        // The cells kept from the last visit (the core's text of them), or "".
        async keptSheet() {
            try {
                return (await stored("readonly", (s) => s.get(SHEET_KEY))) || "";
            } catch {
                return "";
            }
        },
        // Keeps the cells; the template as shipped (empty text) keeps nothing.
        async keepSheet(text) {
            await stored("readwrite", (s) => (text ? s.put(text, SHEET_KEY) : s.delete(SHEET_KEY)));
        },
        permitted,
        download,
        writeInto,
        loadSettings() {
            try {
                return JSON.parse(localStorage.getItem(SETTINGS_KEY)) || {};
            } catch {
                return {};
            }
        },
        saveSettings(settings) {
            try {
                localStorage.setItem(SETTINGS_KEY, JSON.stringify(settings));
            } catch {
                // A browser that keeps nothing for pages opened from disk: the defaults return.
            }
        },
    };
})();

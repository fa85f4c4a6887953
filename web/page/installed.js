"use strict";
// Only in the installed edition (served over HTTPS or from 127.0.0.1): the service worker
// that keeps the page for use offline, and the survey files the system opens with the
// installed page (.sim, .csv, .tsv), which open as if dropped on it.
(() => {
    if ("serviceWorker" in navigator) {
        navigator.serviceWorker.register("serviceworker.js").catch(() => {
            // Without it the page still works; it only needs the network to open.
        });
    }
    if (!("launchQueue" in window)) {
        return;
    }
    // The page takes a dropped file only once it is ready for input.
    const ready = new Promise((resolve) => {
        const root = document.documentElement;
        const check = () => {
            if (root.dataset.ready === "true") {
                observer.disconnect();
                resolve();
            }
        };
        const observer = new MutationObserver(check);
        observer.observe(root, { attributes: true, attributeFilter: ["data-ready"] });
        check();
    });
    window.launchQueue.setConsumer(async (launch) => {
        const [handle] = launch.files || [];
        if (!handle) {
            return;
        }
        const file = await handle.getFile();
        await ready;
        const data = new DataTransfer();
        data.items.add(file);
        document.dispatchEvent(new DragEvent("drop", { dataTransfer: data, bubbles: true, cancelable: true }));
    });
})();

"use strict";
// The installed edition's service worker: it keeps the page, its manifest and its icons, so
// that the page opens and works without the network. Each build has a cache of its own,
// named after the page's contents; the older ones go once the new one is in charge.
const CACHE = "karumenio-@VERSION@";
const FILES = ["./", "manifest.webmanifest", "icon-192.png", "icon-512.png"];

self.addEventListener("install", (event) => {
    event.waitUntil(caches.open(CACHE)
        .then((cache) => cache.addAll(FILES))
        .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names
            .filter((name) => name.startsWith("karumenio-") && name !== CACHE)
            .map((name) => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// From the cache first: the page needs nothing else, and a newer page comes with the newer
// service worker that the browser fetches on its own.
self.addEventListener("fetch", (event) => {
    const request = event.request;
    if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) {
        return;
    }
    const kept = request.mode === "navigate" ? caches.match("./") : caches.match(request);
    event.respondWith(kept.then((response) => response || fetch(request)));
});

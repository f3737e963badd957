// The page's files kept for a visit without the network. A page file is answered from
// the cache at once and refreshed behind it, so the next load has the server's newest;
// the texture is asked of the server first, so a new surface.bmp shows on the next
// load that reaches it, and from the cache only when the server cannot be reached.
const cacheName = 'marble-run';
const pageFiles = ['./', 'index.html', 'marble.js', 'marble.wasm', 'surface.bmp',
                   'manifest.webmanifest', 'icon-192.png', 'icon-512.png'];

self.addEventListener('install', event => {
    event.waitUntil(caches.open(cacheName)
                        .then(cache => cache.addAll(pageFiles))
                        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => event.waitUntil(self.clients.claim()));

function fetchAndKeep(request)
{
    return fetch(request).then(response => {
        if (response.ok) {
            const copy = response.clone();
            caches.open(cacheName).then(cache => cache.put(request, copy));
        }
        return response;
    });
}

self.addEventListener('fetch', event => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin)
        return;
    if (new URL(request.url).pathname.endsWith('/surface.bmp')) {
        event.respondWith(fetchAndKeep(request).catch(() => caches.match(request)
            .then(cached => cached || Response.error())));
        return;
    }
    event.respondWith(caches.match(request, {ignoreSearch: true}).then(cached => {
        const fresh = fetchAndKeep(request);
        if (!cached)
            return fresh;
        fresh.catch(() => {});
        return cached;
    }));
});

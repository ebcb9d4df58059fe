// Keeps the page and the engine for use offline: everything is fetched from the network
// when it can be (so a rebuilt engine is picked up) and from this cache when it cannot.
const CACHE = 'velmora-v1';
const FILES = [
  './', 'index.html', 'app.js', 'style.css', 'chessground.base.css', 'chessground.brown.css',
  'chessground.cburnett.css', 'engine/velmora.js', 'engine/velmora.wasm',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(
    fetch(event.request)
      .then((response) => {
        if (response.ok) {
          const copy = response.clone();
          caches.open(CACHE).then((cache) => cache.put(event.request, copy));
        }
        return response;
      })
      .catch(() => caches.match(event.request, { ignoreSearch: true })),
  );
});

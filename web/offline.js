// The page's service worker: keeps the page's own files so that, once opened, the page loads
// and works without its server. Online it always asks the server first, so a newer build is
// used at once; the copy kept is only for when the server cannot be reached. It keeps nothing
// but the site's files (a score the user opens never reaches it: scores are read from disk).
const CACHE = 'qv-chord-shaper';
const FILES = [
  './', 'index.html', 'style.css', 'app.js', 'player.js', 'worker.js', 'qvengine.js', 'qvengine.wasm',
  'verovio/verovio-module.mjs', 'verovio/verovio.mjs', 'synth/libfluidsynth.js', 'synth/js-synthesizer.js',
  'soundfont.sf2', 'chorale.musicxml', 'manifest.webmanifest', 'icon.svg',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    fetch(request)
      .then((response) => {
        if (response.ok) {
          const copy = response.clone();
          caches.open(CACHE).then((cache) => cache.put(request, copy));
        }
        return response;
      })
      .catch(() => caches.match(request, { ignoreSearch: true }).then((kept) => kept ?? Response.error())),
  );
});

// The page's service worker: keeps the page's own files so that, once opened, the page loads
// and works without its server. It answers only for those files, at exactly their addresses
// (a query string makes another address), within the page's own folder; anything else goes to
// the network untouched. Online it always asks the server first, so a newer build is used at
// once; the copy kept is only for when the server cannot be reached. When the server answers
// but the page's files are no longer there (another program serves that port now), it removes
// its copies and itself. It keeps nothing but the site's files (a score the user opens never
// reaches it: scores are read from disk).
const CACHE = 'qv-chord-shaper';
const FILES = [
  './', 'index.html', 'style.css', 'app.js', 'ui.js', 'engine.js', 'history.js', 'views.js', 'selection.js',
  'lists.js', 'messages.js', 'playback.js', 'player.js', 'worker.js', 'offline.js', 'qvengine.js', 'qvengine.wasm',
  'verovio/verovio-module.mjs', 'verovio/verovio.mjs', 'synth/libfluidsynth.js', 'synth/js-synthesizer.js',
  'soundfont.sf2', 'chorale.musicxml', 'manifest.webmanifest', 'icon.svg',
];
// Their full addresses, as requests name them.
const OWN = new Set(FILES.map((f) => new URL(f, self.registration.scope).href));

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

// The page's files are gone from this address: its copies and this worker go too, and the pages
// it controls are no longer answered by it.
async function leave() {
  await caches.delete(CACHE);
  await self.registration.unregister();
}

// Whether the server still serves this page: its worker script is there.
async function stillServed() {
  try {
    const response = await fetch(new URL('offline.js', self.registration.scope).href, { cache: 'no-store' });
    return response.ok;
  } catch {
    return true; // unreachable: offline, which is what the copies are for
  }
}

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || !OWN.has(request.url)) return;
  event.respondWith(
    fetch(request).then(
      (response) => {
        if (response.ok) {
          const copy = response.clone();
          event.waitUntil(caches.open(CACHE).then((cache) => cache.put(request, copy)));
        }
        // the server answered: on opening the page, make sure it is still this page's server
        if (request.mode === 'navigate' || !response.ok) {
          event.waitUntil(stillServed().then((served) => (served ? undefined : leave())));
        }
        return response;
      },
      () => caches.match(request).then((kept) => kept ?? Response.error()),
    ),
  );
});

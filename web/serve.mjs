// Serves the built page (build/web/site) on 127.0.0.1 and prints its address. Only files of
// the site are served, read-only; the page fetches nothing from elsewhere.
//   node web/serve.mjs [PORT]      PORT 0 picks a free one; the default is 8080, and when the
//                                  port asked for is taken a free one is used instead
import { createServer } from 'node:http';
import { createReadStream } from 'node:fs';
import { realpath, stat } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const siteRoot = fileURLToPath(new URL('../build/web/site/', import.meta.url));
const types = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.musicxml': 'application/vnd.recordare.musicxml+xml',
  '.xml': 'application/xml',
  '.mxl': 'application/vnd.recordare.musicxml',
  '.webmanifest': 'application/manifest+json',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.sf2': 'application/octet-stream',
};

// Sent with every answer: nothing is guessed from content, nothing may frame the page, and the
// page's own policy (as its <meta> states it) holds for whatever is opened directly.
const HEADERS = {
  'X-Content-Type-Options': 'nosniff',
  'Content-Security-Policy': "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' 'unsafe-inline'; " +
    "img-src 'self' data:; font-src data:; frame-ancestors 'none'; base-uri 'none'; form-action 'none'",
  'Referrer-Policy': 'no-referrer',
  'Cross-Origin-Resource-Policy': 'same-origin',
  // The page's worker script decides what is kept offline; the browser keeps nothing itself.
  'Cache-Control': 'no-store',
};

// A client that neither sends nor reads for this long is disconnected, so that a slow or stalled
// reader cannot hold a file's stream (and its socket) for ever.
const IDLE_MS = 30_000;

// Connections served at once; one more is answered 503 and closed. A browser opens a handful per
// page, so this leaves room for many tabs while a flood of idle clients cannot take the
// process's memory and descriptors. As many again may wait briefly for their 503; any beyond
// that are closed at once.
const MAX_CONNECTIONS = 200;
const BUSY_TEXT = 'The page\'s server has too many connections open; close some tabs or try again in a moment.\n';

// The names under which the server is its own: a page at any other name (a DNS name that was
// made to point at 127.0.0.1) is another site's and is refused.
function ownHosts(port) {
  return new Set([`127.0.0.1:${port}`, `localhost:${port}`, `[::1]:${port}`]);
}

// The file of the site an address names, or null: a name outside the site, a type the site
// does not serve.
function fileOf(url, root) {
  let path;
  try {
    path = decodeURIComponent(new URL(url, 'http://localhost').pathname);
  } catch {
    return null; // a malformed address
  }
  if (path.includes('\0')) return null;
  const inside = root.endsWith(sep) ? root : root + sep;
  const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
  return file.startsWith(inside) && types[extname(file)] ? file : null;
}

// The real file behind a site's name (its links followed), or null when there is none or it
// lies outside the site's real folder: a link in the site must not serve what is not the site's.
async function realFileOf(file, realRoot) {
  try {
    const real = await realpath(file);
    return real.startsWith(realRoot.endsWith(sep) ? realRoot : realRoot + sep) ? real : null;
  } catch {
    return null; // none at all, or not readable
  }
}

// Cuts every connection on which nothing moved for its limit: no byte came in, no byte was handed
// out or taken off its queue by the client. The socket's own timer is not used: while a write is
// pending it lets the first timeout pass, so a reader that stalled mid-file held its connection
// for twice the time.
function cutIdle(sockets) {
  const now = Date.now();
  for (const [socket, seen] of sockets) {
    // the bytes the client has not yet taken from the socket's queue (Node's own timer reads it too)
    const progress = `${socket.bytesRead}:${socket.bytesWritten}:${socket._handle?.writeQueueSize ?? 0}`;
    if (progress !== seen.progress) Object.assign(seen, { progress, since: now });
    else if (now - seen.since >= seen.limit) socket.destroy();
  }
}

// options: { root, idleMs, maxConnections } for the tests; the built site, IDLE_MS and
// MAX_CONNECTIONS otherwise.
export function serve(port = 8080, { root = siteRoot, idleMs = IDLE_MS, maxConnections = MAX_CONNECTIONS } = {}) {
  let hosts = new Set();
  let realRoot = root;
  const sockets = new Map(); // socket -> { progress, since, limit }
  const refused = new WeakSet();
  const server = createServer(async (request, response) => {
    const refuse = (status, extra = {}) => response.writeHead(status, { ...HEADERS, 'Content-Length': 0, ...extra }).end();
    if (refused.has(request.socket)) {
      response.writeHead(503, {
        ...HEADERS,
        'Content-Type': 'text/plain; charset=utf-8',
        'Content-Length': Buffer.byteLength(BUSY_TEXT),
        'Retry-After': '5',
        Connection: 'close',
      });
      return response.end(request.method === 'HEAD' ? undefined : BUSY_TEXT);
    }
    const host = request.headers.host;
    if (host !== undefined && !hosts.has(host.toLowerCase())) return refuse(421);
    if (request.method !== 'GET' && request.method !== 'HEAD') return refuse(405, { Allow: 'GET, HEAD' });
    const named = fileOf(request.url, root);
    const file = named && (await realFileOf(named, realRoot));
    let info;
    try {
      info = file && (await stat(file));
    } catch {
      info = null; // gone since, or not readable
    }
    if (!info?.isFile()) return refuse(404);
    const head = { ...HEADERS, 'Content-Type': types[extname(named)], 'Content-Length': info.size };
    if (request.method === 'HEAD') return response.writeHead(200, head).end();
    // Streamed, at the pace the client reads (pipe waits while the socket's buffer is full): a
    // file is never held whole in memory, however many ask for it.
    const stream = createReadStream(file);
    stream.once('open', () => {
      response.writeHead(200, head);
      stream.pipe(response);
    });
    stream.once('error', () => (response.headersSent ? response.destroy() : refuse(404)));
    response.once('close', () => stream.destroy());
  });
  let served = 0; // connections in sockets that are not refused
  server.on('connection', (socket) => {
    // over the limit: a short while to send its request and be told why, then it is closed
    const over = served >= maxConnections;
    if (over && sockets.size >= 2 * maxConnections) return socket.destroy();
    if (over) refused.add(socket);
    else ++served;
    sockets.set(socket, { progress: '', since: Date.now(), limit: over ? Math.min(idleMs, 2_000) : idleMs });
    socket.once('close', () => {
      sockets.delete(socket);
      if (!over) --served;
    });
  });
  const sweep = setInterval(() => cutIdle(sockets), Math.max(10, Math.min(1_000, idleMs / 10)));
  sweep.unref();
  server.once('close', () => clearInterval(sweep));
  server.timeout = 0; // cutIdle does it
  server.headersTimeout = Math.min(idleMs, 60_000);
  server.requestTimeout = 0; // a long download by a reader that keeps reading is fine
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    realpath(root)
      .then((real) => (realRoot = real))
      .catch(() => {}) // no site yet: every file is answered 404
      .then(() =>
        server.listen(port, '127.0.0.1', () => {
          server.off('error', reject);
          hosts = ownHosts(server.address().port);
          resolve(server);
        }),
      );
  });
}

// The port of the command line: a whole number 0 to 65535, else null.
export function parsePort(text) {
  if (!/^\d{1,5}$/.test(text)) return null;
  const port = Number(text);
  return port <= 65535 ? port : null;
}

// Serves on the port asked for; when it is taken, says so and serves on a free one instead.
export async function serveOn(port, say = console.log) {
  try {
    return await serve(port);
  } catch (e) {
    if (e.code !== 'EADDRINUSE' && e.code !== 'EACCES') throw e;
    const why = e.code === 'EADDRINUSE' ? 'is in use (another program, or this page served already)' : 'may not be used by this user';
    const server = await serve(0);
    say(`Port ${port} ${why}; serving on port ${server.address().port} instead.`);
    return server;
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const asked = process.argv[2] ?? '8080';
  const port = parsePort(asked);
  if (port === null) {
    console.error(`"${asked}" is not a port: give a whole number from 0 to 65535 (0 picks a free one).`);
    process.exit(2);
  }
  let server;
  try {
    server = await serveOn(port);
  } catch (e) {
    console.error(`The page cannot be served: ${e.message}`);
    process.exit(1);
  }
  // Ctrl+C or a polite kill: say so and end at once; open downloads are cut, nothing is written.
  for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) {
    process.once(signal, () => {
      console.log('\nThe page is no longer served.');
      server.closeAllConnections();
      server.close(() => process.exit(0));
    });
  }
  console.log(`QV Chord Shaper is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops it)`);
}

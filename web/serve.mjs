// Serves the built page (build/web/site) on 127.0.0.1 and prints its address. Only files of
// the site are served, read-only; the page fetches nothing from elsewhere.
//   node web/serve.mjs [PORT]      PORT 0 picks a free one; the default is 8080, and when the
//                                  port asked for is taken a free one is used instead
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = fileURLToPath(new URL('../build/web/site/', import.meta.url));
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

export function serve(port = 8080) {
  const inside = root.endsWith(sep) ? root : root + sep;
  const server = createServer(async (request, response) => {
    try {
      const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
      const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
      const type = types[extname(file)];
      if (request.method !== 'GET' || !file.startsWith(inside) || !type) throw new Error('not here');
      const body = await readFile(file);
      // The page's worker script decides what is kept offline; the browser keeps nothing itself.
      response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-store' }).end(body);
    } catch {
      // a malformed address, a file outside the site or of another kind, or none at all
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
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
    const why = e.code === 'EADDRINUSE' ? 'is in use' : 'may not be used by this user';
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
  try {
    const server = await serveOn(port);
    console.log(`QV Chord Shaper is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops it)`);
  } catch (e) {
    console.error(`The page cannot be served: ${e.message}`);
    process.exit(1);
  }
}

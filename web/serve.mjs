// Serves the built page (build/web/site) on 127.0.0.1 and prints its address. Only files of
// the site are served, read-only; the page fetches nothing from elsewhere.
//   node web/serve.mjs [PORT]      PORT 0 (the default is 8080) picks a free one
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

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const server = await serve(Number(process.argv[2] ?? 8080));
  console.log(`QV Chord Shaper is served at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops it)`);
}

// Where the page's tests find the built page (build/web/site). By default the project's own
// server (web/serve.mjs) serves it at the root of a free port; with QV_STATIC=1 it is served as
// any static web server would: Python's http.server serving a parent folder, the page in a
// subfolder of it, so that every address the page and its offline worker use must be relative.
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, symlinkSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../../serve.mjs';

export const staticSite = process.env.QV_STATIC === '1';
// For tests of what only the project's server does.
export const projectServerOnly = staticSite && 'needs the project\'s own server (QV_STATIC=1 serves the page statically)';

const built = fileURLToPath(new URL('../../../build/web/site', import.meta.url));

// Answers { address, server (the project's, or undefined), close() }.
export async function openSite() {
  if (!staticSite) {
    const server = await serve(0);
    return {
      address: `http://127.0.0.1:${server.address().port}/`,
      server,
      close: () => { server.closeAllConnections(); server.close(); },
    };
  }
  const parent = mkdtempSync(join(tmpdir(), 'qvstatic-'));
  mkdirSync(join(parent, 'music'));
  symlinkSync(built, join(parent, 'music', 'chord-shaper'));
  const python = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', parent],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve, reject) => {
    let out = '';
    python.stdout.on('data', (d) => {
      out += d;
      const found = / port (\d+) /.exec(out);
      if (found) resolve(Number(found[1]));
    });
    python.once('exit', () => reject(new Error(`python3 -m http.server ended: ${out}`)));
  });
  return {
    address: `http://127.0.0.1:${port}/music/chord-shaper/`,
    close: () => { python.kill(); rmSync(parent, { recursive: true, force: true }); },
  };
}

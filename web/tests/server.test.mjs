// The page's server on its own (no browser, no built site): a scratch site of a few files.
//   node --test web/tests/server.test.mjs
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { connect } from 'node:net';
import { request } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../serve.mjs';

const serveScript = fileURLToPath(new URL('../serve.mjs', import.meta.url));
const BIG = 8 * 1024 * 1024;
let site, outside, server, port;

before(async () => {
  site = mkdtempSync(join(tmpdir(), 'qvserve-'));
  writeFileSync(join(site, 'index.html'), '<!doctype html><title>t</title>');
  writeFileSync(join(site, 'big.sf2'), Buffer.alloc(BIG, 7));
  mkdirSync(join(site, 'verovio'));
  outside = mkdtempSync(join(tmpdir(), 'qvserve-outside-'));
  writeFileSync(join(outside, 'secret.html'), 'not the site\'s');
  symlinkSync(join(outside, 'secret.html'), join(site, 'secret.html'));
  symlinkSync(outside, join(site, 'elsewhere'));
  symlinkSync(join(site, 'index.html'), join(site, 'home.html'));
  server = await serve(0, { root: site, idleMs: 400 });
  port = server.address().port;
});

after(() => {
  server?.closeAllConnections();
  server?.close();
  rmSync(site, { recursive: true, force: true });
  rmSync(outside, { recursive: true, force: true });
});

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// One request with the Host header given; answers status, headers and body.
function ask(method, path, host = `127.0.0.1:${port}`, at = port) {
  return new Promise((resolve, reject) => {
    const r = request({ host: '127.0.0.1', port: at, method, path, headers: { host }, agent: false }, (response) => {
      const chunks = [];
      response.on('data', (c) => chunks.push(c));
      response.on('end', () => resolve({ status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks) }));
    });
    r.on('error', reject);
    r.end();
  });
}

test('GET and HEAD give the length and the safety headers; other methods get 405 with Allow', async () => {
  const get = await ask('GET', '/big.sf2');
  assert.equal(get.status, 200);
  assert.equal(get.headers['content-length'], String(BIG));
  assert.equal(get.body.length, BIG);
  const head = await ask('HEAD', '/');
  assert.equal(head.status, 200);
  assert.equal(head.headers['content-type'], 'text/html; charset=utf-8');
  assert.equal(head.headers['content-length'], '31');
  assert.equal(head.body.length, 0);
  for (const answer of [get, head, await ask('GET', '/nothing.js')]) {
    assert.equal(answer.headers['x-content-type-options'], 'nosniff');
    assert.match(answer.headers['content-security-policy'], /frame-ancestors 'none'/);
  }
  for (const method of ['POST', 'PUT', 'DELETE', 'OPTIONS']) {
    const r = await ask(method, '/index.html');
    assert.equal(r.status, 405, method);
    assert.equal(r.headers.allow, 'GET, HEAD');
  }
  // a folder, a missing file, a name outside the site, links out of it, a malformed address
  assert.equal((await ask('GET', '/home.html')).status, 200); // a link to a file of the site
  for (const path of ['/verovio', '/verovio/', '/none.html', '/..%2f..%2fetc%2fpasswd', '/secret.html', '/elsewhere/secret.html', '/%E0%A4%A', '/a%00.js']) {
    assert.equal((await ask('GET', path)).status, 404, path);
  }
});

test('only the server\'s own names are answered: another name pointed at 127.0.0.1 gets 421', async () => {
  for (const host of [`127.0.0.1:${port}`, `localhost:${port}`, `LOCALHOST:${port}`, `[::1]:${port}`]) {
    assert.equal((await ask('GET', '/index.html', host)).status, 200, host);
  }
  for (const host of [`evil.example:${port}`, 'localhost', `127.0.0.1:${port + 1}`, `localhost.evil.example:${port}`]) {
    const r = await ask('GET', '/index.html', host);
    assert.equal(r.status, 421, host);
    assert.equal(r.body.length, 0);
  }
});

test('many clients that do not read hold no whole file in memory, and are let go when idle', async () => {
  global.gc?.();
  const base = process.memoryUsage().arrayBuffers;
  const clients = [];
  for (let i = 0; i < 40; ++i) {
    const socket = connect(port, '127.0.0.1');
    socket.pause(); // never reads: the server must not buffer the rest of the file for it
    socket.write(`GET /big.sf2 HTTP/1.1\r\nHost: 127.0.0.1:${port}\r\n\r\n`);
    socket.on('error', () => {});
    clients.push(socket);
  }
  const open = () => new Promise((resolve) => server.getConnections((_, n) => resolve(n)));
  for (let i = 0; i < 50 && (await open()) < 40; ++i) await new Promise((resolve) => setTimeout(resolve, 20));
  assert.ok(await open() >= 40);
  await new Promise((resolve) => setTimeout(resolve, 100)); // every one has its answer started
  const held = process.memoryUsage().arrayBuffers - base;
  // read whole, 40 copies of the file would be 320 MB
  assert.ok(held < 40 * BIG / 4, `${(held / 1048576).toFixed(0)} MB held for 40 stalled clients`);
  // the idle time of this server is 400 ms: every stalled client is disconnected
  for (let i = 0; i < 50 && (await open()) > 0; ++i) await new Promise((resolve) => setTimeout(resolve, 100));
  assert.equal(await open(), 0, 'stalled clients are still connected after 5 s');
  clients.forEach((s) => s.destroy());
  // one that opens a connection and says nothing is let go too
  const silent = connect(port, '127.0.0.1');
  const t0 = Date.now();
  await new Promise((resolve) => silent.once('close', resolve));
  assert.ok(Date.now() - t0 < 4000);
});

test('a stalled reader is cut after the idle time set, not twice that; past the connection limit a 503 says why', async () => {
  const own = await serve(0, { root: site, idleMs: 1000, maxConnections: 1 });
  const at = own.address().port;
  const lasted = new Map(); // connection number -> how long it was open, in ms, once closed
  let opened = 0;
  own.on('connection', (s) => {
    const n = ++opened, t0 = Date.now();
    s.once('close', () => lasted.set(n, Date.now() - t0));
  });
  const stalled = connect(at, '127.0.0.1');
  stalled.on('error', () => {});
  stalled.pause(); // never reads
  stalled.write(`GET /big.sf2 HTTP/1.1\r\nHost: 127.0.0.1:${at}\r\n\r\n`);
  try {
    for (let i = 0; i < 100 && opened < 1; ++i) await pause(10);
    const busy = await ask('GET', '/index.html', `127.0.0.1:${at}`, at);
    assert.equal(busy.status, 503);
    assert.match(busy.body.toString(), /too many connections open/);
    await pause(1700);
    assert.ok(lasted.get(1) >= 950, `the stalled reader was open ${lasted.get(1)} ms`);
    assert.equal((await ask('GET', '/index.html', `127.0.0.1:${at}`, at)).status, 200);
  } finally {
    stalled.destroy();
    own.closeAllConnections();
    own.close();
  }
});

// Runs the server script; answers the child and a promise of its first line with an address.
function start(args) {
  const child = spawn(process.execPath, [serveScript, ...args], { stdio: ['ignore', 'pipe', 'pipe'] });
  child.out = '';
  child.stdout.on('data', (d) => { child.out += d; });
  child.stderr.on('data', (d) => { child.out += d; });
  child.served = new Promise((resolve, reject) => {
    child.stdout.on('data', () => child.out.includes('served at') && resolve(Number(/:(\d+)\//.exec(child.out.split('served at')[1])[1])));
    child.once('exit', () => reject(new Error(`the server ended: ${child.out}`)));
  });
  child.ended = new Promise((resolve) => child.once('exit', (code, signal) => resolve({ code, signal })));
  return child;
}

test('Ctrl+C on the server says so and ends it cleanly; a busy port is named and another used', async () => {
  const first = start(['0']);
  const taken = await first.served;
  const second = start([String(taken)]);
  try {
    const other = await second.served;
    assert.notEqual(other, taken);
    assert.match(second.out, new RegExp(`Port ${taken} is in use \\(another program, or this page served already\\); serving on port ${other} instead\\.`));
  } finally {
    second.kill('SIGINT');
  }
  // a download in progress does not keep it from ending
  const socket = connect(taken, '127.0.0.1');
  socket.pause();
  socket.on('error', () => {});
  socket.write(`GET /soundfont.sf2 HTTP/1.1\r\nHost: 127.0.0.1:${taken}\r\n\r\n`);
  await new Promise((resolve) => setTimeout(resolve, 100));
  first.kill('SIGINT');
  const { code } = await first.ended;
  assert.equal(code, 0);
  assert.match(first.out, /The page is no longer served\./);
  assert.doesNotMatch(first.out, /\n\s+at /, 'no stack trace');
  assert.equal((await second.ended).code, 0);
  socket.destroy();
});

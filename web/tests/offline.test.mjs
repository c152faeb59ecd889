// The page's service worker in a browser of its own: it answers for the page's own files only,
// and lets go of the address when another program is served there later.
//   node --test web/tests/offline.test.mjs      (the site must be built: web/build.sh)
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from '../serve.mjs';
import { launch } from './support/browser.mjs';
import { projectServerOnly } from './support/site.mjs';

let server, context, address, scratch, port;

before(async () => {
  server = await serve(0);
  port = server.address().port;
  address = `http://127.0.0.1:${port}/`;
  scratch = mkdtempSync(join(tmpdir(), 'qvoffline-'));
  context = await launch(scratch, address);
});

after(async () => {
  await context?.close();
  server?.closeAllConnections();
  server?.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

// Another program on the same port: a page of its own at "/", nothing else.
function anotherProgram() {
  const other = createServer((request, response) => {
    if (request.url === '/') response.writeHead(200, { 'Content-Type': 'text/html' }).end('<!doctype html><title>Another program</title><p>hello');
    else response.writeHead(404).end();
  });
  return new Promise((resolve) => other.listen(port, '127.0.0.1', () => resolve(other)));
}

test('offline, only the page\'s files at their exact addresses are answered; another program later on the port is not served from the copies', { skip: projectServerOnly }, async () => {
  const page = await context.newPage();
  await page.goto(address);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await page.waitForSelector('#task option');
  assert.ok(await page.evaluate(() => navigator.serviceWorker.controller !== null));
  const scope = await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).scope);
  assert.equal(scope, address, 'the worker\'s scope is the page\'s folder');
  const got = (path) => page.evaluate((p) => fetch(p).then((r) => r.status, () => 'failed'), path);
  await context.setOffline(true);
  try {
    assert.equal(await got('style.css'), 200, 'the page\'s own file, kept');
    assert.equal(await got('style.css?v=2'), 'failed', 'another address: not the kept file');
    assert.equal(await got('api/data'), 'failed', 'not a file of the page');
  } finally {
    await context.setOffline(false);
  }
  // the page's server ends and another program takes the port
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
  server = await anotherProgram();
  await page.goto(address);
  assert.equal(await page.title(), 'Another program', 'the other program\'s page, not the kept one');
  await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistrations()).length === 0 && (await caches.keys()).length === 0,
    null, { timeout: 10000, polling: 200 });
  await page.reload();
  assert.equal(await page.evaluate(() => navigator.serviceWorker.controller), null, 'no worker after the reload');
  // and when that program stops too, nothing of the page answers in its place
  server.closeAllConnections();
  await new Promise((resolve) => server.close(resolve));
  server = null;
  assert.equal(await got('style.css'), 'failed', 'nothing answers once the other program stops');
  await page.close();
});

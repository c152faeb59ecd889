// The page in a real browser: Debian's Chromium, headless, driven by playwright-core, against
// the built site (web/build.sh) served on 127.0.0.1. Run with: node --test web/tests/
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';

const root = fileURLToPath(new URL('../../', import.meta.url));
const fixture = (name) => fileURLToPath(new URL(`fixtures/${name}`, import.meta.url));
const chorale = join(root, 'examples/chorale.musicxml');
const scoreFile = (name) => join(root, `tests/musicxml/files/${name}.musicxml`); // the command's own
let server, context, address, scratch;
const offsite = []; // requests that would have left the machine

before(async () => {
  server = await serve(0);
  address = `http://127.0.0.1:${server.address().port}/`;
  scratch = mkdtempSync(join(tmpdir(), 'qvweb-'));
  context = await chromium.launchPersistentContext(join(scratch, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1280, height: 800 },
    acceptDownloads: true,
  });
  await context.route('**/*', (route) => {
    if (route.request().url().startsWith(address)) return route.continue();
    offsite.push(route.request().url());
    return route.abort();
  });
});

after(async () => {
  await context?.close();
  server?.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

async function openPage() {
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.goto(address);
  await page.waitForSelector('#task option');
  return page;
}

// Waits until the running job has answered: a result to download or a message.
async function settled(page) {
  await page.waitForFunction(() => document.getElementById('progress').hidden);
  return (await page.textContent('#error')).trim();
}

// Chooses a file and waits until the engine has read it (or refused it); answers the message.
async function load(page, file) {
  await page.$eval('#loaded', (p) => { p.textContent = ''; });
  await page.setInputFiles('#file', file);
  await page.waitForFunction(() => document.getElementById('loaded').textContent && document.getElementById('progress').hidden);
  return (await page.textContent('#error')).trim();
}

async function applyTo(page, file, { task, bottom = false, fourNote = false, measures = '', parts = '' }) {
  assert.equal(await load(page, file), '');
  for (const box of await page.$$('#parts input')) await box.setChecked(!parts || parts === (await box.getAttribute('value')));
  await page.selectOption('#task', task);
  if (bottom) await page.check('#bottom');
  else if (await page.isVisible('#top')) await page.check('#top');
  await page.setChecked('#four-note', fourNote);
  await page.fill('#measures', measures);
  await page.click('#apply');
  assert.equal(await settled(page), '');
}

async function download(page) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  return { name: file.suggestedFilename(), bytes: readFileSync(await file.path()) };
}

// What ./run --score writes for the same file and options.
function command(file, { task, bottom = false, fourNote = false, measures = '', parts = '' }) {
  const out = join(scratch, `command-${basename(file)}`);
  const args = ['--score', file, '--task', task, '--out', out];
  if (bottom) args.push('--bottom');
  if (fourNote) args.push('--four-note-drops');
  if (measures) args.push('--measures', measures);
  if (parts) args.push('--parts', parts);
  execFileSync(join(root, 'run'), args, { stdio: 'pipe' });
  return readFileSync(out);
}

// The notes drawn in one pane, in drawing order: "d3", "ab4"; a red one ends with "*".
function drawnNotes(page, pane) {
  return page.$$eval(`#${pane} g.note`, (notes) =>
    notes.map((n) => `${n.dataset.pname}${n.dataset.accid === 'f' ? 'b' : n.dataset.accid === 's' ? '#' : ''}${n.dataset.oct}${n.dataset.color ? '*' : ''}`));
}

test('Drop 2nd on the example draws the dropped notes in red, summed up as the command does', async () => {
  const page = await openPage();
  await page.click('#example');
  await page.waitForSelector('#apply:enabled');
  assert.deepEqual(await page.$$eval('#parts label', (l) => l.map((x) => x.textContent.trim())), ['Choir (P1)', 'Piano (P2)']);
  await page.selectOption('#task', 'Drop 2nd');
  assert.equal(await page.textContent('#description'), 'Transposes the 2nd highest note in a chord one octave down.');
  assert.equal(await page.isVisible('#direction'), false);
  await page.click('#apply');
  assert.equal(await settled(page), '');
  assert.equal(await page.textContent('#summary'), 'Drop 2nd: 7 chords changed in 1 measure on 3 staves');
  const before = await drawnNotes(page, 'before');
  const after = await drawnNotes(page, 'after');
  assert.equal(before.filter((n) => n.endsWith('*')).length, 0);
  assert.deepEqual(after.filter((n) => n.endsWith('*')), ['d3*', 'e3*', 'd3*', 'd4*', 'd4*', 'g1*', 'd2*']);
  assert.deepEqual(after.slice(0, 4).sort(), ['b3', 'd3*', 'g3', 'g4']);
  assert.equal(after.length, before.length);
  await page.screenshot({ path: join(root, 'build/web/page-after-apply.png') });
  await page.setViewportSize({ width: 400, height: 800 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 400), 'no sideways scrolling when narrow');
  await page.screenshot({ path: join(root, 'build/web/page-narrow.png'), fullPage: true });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the download equals ./run --score byte for byte, job after job in one page, .mxl too', async () => {
  const page = await openPage();
  const cases = [
    [chorale, { task: 'Drop 2nd' }, 'chorale-drop-2nd.musicxml'],
    [chorale, { task: 'Rotate', bottom: true, measures: '1' }, 'chorale-rotate-down.musicxml'],
    [fixture('c-minor.musicxml'), { task: 'Drop 2nd', fourNote: true }, 'c-minor-drop-2nd.musicxml'],
    [fixture('c-minor.mxl'), { task: 'Drop 2nd' }, 'c-minor-drop-2nd.mxl'], // the rule off again
    [fixture('c-minor.mxl'), { task: 'Add Third', bottom: true, parts: 'P1' }, 'c-minor-add-third-bottom.mxl'],
    [fixture('c-minor.musicxml'), { task: 'Delete Outer Note' }, 'c-minor-delete-outer-note-top.musicxml'],
    [scoreFile('ties'), { task: 'Transpose Octave', bottom: true }, 'ties-transpose-octave-bottom-goes-down.musicxml'],
    [scoreFile('firstnote'), { task: 'Delete Outer Note', bottom: true }, 'firstnote-delete-outer-note-bottom.musicxml'],
    [scoreFile('voices'), { task: 'Unisons to Octaves' }, 'voices-unisons-to-octaves-upwards.musicxml'],
  ];
  for (const [file, options, name] of cases) {
    await applyTo(page, file, options);
    const got = await download(page);
    assert.equal(got.name, name);
    assert.ok(got.bytes.equals(command(file, options)), `${name}: the page's file differs from the command's`);
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a score in UTF-16 is drawn before and after, and downloaded as the command writes it', async () => {
  const wide = join(scratch, 'chorale-utf16.musicxml');
  const text = readFileSync(chorale, 'utf8').replace('encoding="UTF-8"', 'encoding="UTF-16"');
  writeFileSync(wide, Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]));
  const page = await openPage();
  await applyTo(page, wide, { task: 'Drop 2nd' });
  assert.equal((await drawnNotes(page, 'before')).length, (await drawnNotes(page, 'after')).length);
  assert.deepEqual((await drawnNotes(page, 'after')).filter((n) => n.endsWith('*')),
    ['d3*', 'e3*', 'd3*', 'd4*', 'd4*', 'g1*', 'd2*']);
  assert.ok((await download(page)).bytes.equals(command(wide, { task: 'Drop 2nd' })));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('bad files get a message naming them, and the page keeps working', async () => {
  const page = await openPage();
  const mxl = readFileSync(fixture('c-minor.mxl'));
  const bad = [
    [{ name: 'letter.xml', mimeType: 'text/xml', buffer: Buffer.from('<letter>Dear</letter>') }, 'letter.xml'],
    [{ name: 'cut.mxl', mimeType: 'application/octet-stream', buffer: mxl.subarray(0, mxl.length / 2) }, 'cut.mxl'],
    [{ name: 'empty.musicxml', mimeType: 'text/xml', buffer: Buffer.alloc(0) }, 'empty.musicxml is empty'],
    [{ name: 'huge.musicxml', mimeType: 'text/xml', buffer: Buffer.alloc(21 * 1024 * 1024, 32) }, '20 MB'],
  ];
  for (const [file, expected] of bad) {
    const message = await load(page, file);
    assert.ok(message.includes(expected), `"${message}" should name ${expected}`);
    assert.equal(await page.isEnabled('#apply'), false);
  }
  await page.click('#example');
  await page.waitForSelector('#apply:enabled');
  await page.click('#apply');
  assert.equal(await settled(page), '');
  assert.equal(await page.isEnabled('#download'), true);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('one whole round with the keyboard alone', async () => {
  const page = await openPage();
  // Tabs forward until the control has the focus; a control the keyboard cannot reach fails.
  const tabTo = async (id) => {
    for (let i = 0; i < 20; ++i) {
      if (await page.evaluate((want) => document.activeElement?.id === want, id)) return;
      await page.keyboard.press('Tab');
    }
    assert.fail(`#${id} cannot be reached with Tab`);
  };
  await tabTo('example');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#apply:enabled');
  await tabTo('task');
  for (let i = 0; i < 6; ++i) await page.keyboard.press('ArrowDown');
  assert.equal(await page.$eval('#task', (s) => s.value), 'Drop 2nd');
  await tabTo('apply');
  await page.keyboard.press('Enter');
  assert.equal(await settled(page), '');
  await tabTo('download');
  const [file] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
  assert.ok(readFileSync(await file.path()).equals(command(chorale, { task: 'Drop 2nd' })));
  await page.close();
});

test('nothing is fetched from anywhere but the page\'s own server', () => {
  assert.deepEqual(offsite, []);
});

test('the server answers the site\'s files only, and outlives a malformed address', async () => {
  const status = async (path) => (await fetch(new URL(path, address))).status;
  assert.equal(await status('/%E0%A4%A'), 404);
  assert.equal(await status('/..%2f..%2frun'), 404);
  assert.equal(await status('/qvengine.wasm'), 200);
});

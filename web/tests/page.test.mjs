// The page in a real browser: Debian's Chromium, headless, driven by playwright-core, against
// the built site (web/build.sh) served on 127.0.0.1. Run with: node --test web/tests/
// (QV_STATIC=1: served from a subfolder by a static web server instead of the project's).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { leadSheet } from './support/scores.mjs';
import { launch } from './support/browser.mjs';
import { openSite, projectServerOnly } from './support/site.mjs';

const root = fileURLToPath(new URL('../../', import.meta.url));
const fixture = (name) => fileURLToPath(new URL(`fixtures/${name}`, import.meta.url));
const chorale = join(root, 'examples/chorale.musicxml');
const scoreFile = (name) => join(root, `tests/musicxml/files/${name}.musicxml`); // the command's own
let site, server, context, address, scratch;
const offsite = []; // requests that would have left the machine

before(async () => {
  site = await openSite();
  ({ address, server } = site);
  scratch = mkdtempSync(join(tmpdir(), 'qvweb-'));
  context = await launch(scratch, address, offsite);
  writeFileSync(join(scratch, 'tune.musicxml'), leadSheet(8));
  // Every request the page makes to its worker, and every blocked resource, in the page.
  await context.addInitScript(() => {
    window.qvAsked = [];
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function (message, ...rest) {
      window.qvAsked.push(message?.kind);
      return post.call(this, message, ...rest);
    };
    window.qvBlocked = [];
    document.addEventListener('securitypolicyviolation', (e) => window.qvBlocked.push(`${e.violatedDirective} ${e.blockedURI}`));
  });
});

after(async () => {
  await context?.close();
  site?.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

// historyBudget: the bytes the page may keep for its steps, instead of its own budget.
async function openPage(historyBudget) {
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  if (historyBudget) await page.addInitScript((b) => { window.qvHistoryBudget = b; }, historyBudget);
  await page.goto(address);
  await page.waitForSelector('#task option');
  return page;
}

// Waits until the running job has answered: a result to download or a message.
async function settled(page) {
  await page.waitForFunction(() => !document.getElementById('job').hasAttribute('aria-busy'));
  return (await page.textContent('#error')).trim();
}

// Chooses a file and waits until the engine has read it (or refused it); answers the message.
async function load(page, file) {
  await page.$eval('#loaded', (p) => { p.textContent = ''; });
  await page.$eval('#error', (p) => { p.textContent = ''; });
  await page.setInputFiles('#file', file);
  await page.waitForFunction(() => (document.getElementById('loaded').textContent || document.getElementById('error').textContent) &&
    !document.getElementById('job').hasAttribute('aria-busy'));
  return (await page.textContent('#error')).trim();
}

// Waits until the page has drawn what it shows and found the score's measures.
async function drawn(page) {
  await page.waitForFunction(() => !document.getElementById('job').hasAttribute('aria-busy') &&
    document.querySelector('#view .page[data-drawn="yes"] svg'));
}

async function applyTo(page, file, { task, bottom = false, fourNote = false, measures = '', parts = '', voicing = '', leading = true }) {
  assert.equal(await load(page, file), '');
  for (const box of await page.$$('#parts input')) await box.setChecked(!parts || parts === (await box.getAttribute('value')));
  await page.selectOption('#task', task);
  if (bottom) await page.check('#bottom');
  else if (await page.isVisible('#top')) await page.check('#top');
  if (await page.isVisible('#voicing')) {
    await page.selectOption('#voicing', voicing || 'close'); // the command's default
    await page.setChecked('#leading', leading);
  }
  await page.setChecked('#four-note', fourNote);
  await page.fill('#measures', measures);
  await page.click('#apply');
  assert.equal(await settled(page), '');
}

async function download(page) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  return { name: file.suggestedFilename(), bytes: readFileSync(await file.path()) };
}

function commandArgs({ task, bottom = false, fourNote = false, measures = '', parts = '', voicing = '', leading = true }) {
  const args = ['--task', task];
  if (voicing) args.push('--voicing', voicing);
  if (!leading) args.push('--no-lead');
  if (bottom) args.push('--bottom');
  if (fourNote) args.push('--four-note-drops');
  if (measures) args.push('--measures', measures);
  if (parts) args.push('--parts', parts);
  return args;
}

// What ./run --score writes for the same file and options; given a list of steps, each run
// takes the one before's output.
function command(file, steps) {
  let input = file;
  for (const [i, options] of (Array.isArray(steps) ? steps : [steps]).entries()) {
    const out = join(scratch, `command-${i}-${basename(file)}`);
    execFileSync(join(root, 'run'), ['--score', input, '--out', out, ...commandArgs(options)], { stdio: 'pipe' });
    input = out;
  }
  return readFileSync(input);
}

// The chords ./run --score --dry-run lists for a file and options: "P2 2 1 1: F3 Bb3 D4 G4 -> ...".
function dryRun(file, options) {
  const out = execFileSync(join(root, 'run'), ['--score', file, '--dry-run', ...commandArgs(options)], { encoding: 'utf8' });
  return out.split('\n').filter((l) => l.startsWith('part ')).map((l) =>
    l.replace(/^part (\S+)(?: \([^)]*\))?, measure (\S+), staff (\d+), voice (\S+): (.*)$/, '$1 $2 $3 $4: $5'));
}

// The page's list of changed chords in the same words: "P2 2 1 1: F3 Bb3 D4 G4 -> ...".
async function listed(page) {
  const parts = await page.$$eval('#parts input', (boxes) => boxes.map((b) => [b.parentElement.textContent.trim().replace(/ \(.*$/, ''), b.value]));
  const ids = Object.fromEntries(parts);
  return (await page.$$eval('#changes button', (b) => b.map((x) => x.textContent))).map((t) =>
    t.replace(/^(.*), staff (\d+), measure (\S+), beat [\d.]+, voice (\S+): (.*) → (.*)$/, (_, part, staff, measure, voice, a, b) =>
      `${/ \((\w+)\)$/.exec(part)?.[1] ?? ids[part] ?? part} ${measure} ${staff} ${voice}: ${a} -> ${b}`));
}

// Drags over the drawing from one staff of a measure to another's; staff counts from 1 in the
// score, as the drawing numbers them.
async function drag(page, [m0, s0], [m1, s1]) {
  const point = (m, s) => page.$eval(`#view g.measure[data-n="${m}"] > g.staff[data-n="${s}"] > path`, (line) => {
    line.scrollIntoView({ block: 'center' });
    const b = line.getBoundingClientRect();
    return [b.left + b.width / 2, b.top + 4];
  });
  const a = await point(m0, s0);
  await page.mouse.move(...a);
  await page.mouse.down();
  const b = await point(m1, s1);
  await page.mouse.move(...b, { steps: 4 });
  await page.mouse.up();
}

async function applyTask(page, task, bottom = false) {
  await page.selectOption('#task', task);
  if (await page.isVisible('#top')) await page.check(bottom ? '#bottom' : '#top');
  await page.click('#apply');
  assert.equal(await settled(page), '');
  await drawn(page);
}

// The notes drawn, in drawing order: "d3", "ab4"; a red one ends with "*".
function drawnNotes(page) {
  return page.$$eval('#view g.note', (notes) =>
    notes.map((n) => `${n.dataset.pname}${n.dataset.accid === 'f' ? 'b' : n.dataset.accid === 's' ? '#' : ''}${n.dataset.oct}${n.dataset.color ? '*' : ''}`));
}

// The notes drawn before the step, by the before/after switch, and back.
async function notesBefore(page) {
  await page.check('#side-before');
  await drawn(page);
  const notes = await drawnNotes(page);
  await page.check('#side-after');
  await drawn(page);
  return notes;
}

test('Drop 2nd on the example draws the dropped notes in red, summed up as the command does', async () => {
  const page = await openPage();
  await page.click('#example');
  await page.waitForSelector('#apply:enabled');
  await settled(page); // drawn: a click meanwhile would be ignored
  assert.deepEqual(await page.$$eval('#parts label', (l) => l.map((x) => x.textContent.trim())), ['Choir (P1)', 'Piano (P2)']);
  await page.selectOption('#task', 'Drop 2nd');
  assert.equal(await page.textContent('#description'), 'Transposes the 2nd highest note in a chord one octave down.');
  assert.equal(await page.isVisible('#direction'), false);
  await page.click('#apply');
  assert.equal(await settled(page), '');
  await drawn(page);
  assert.equal(await page.textContent('#summary'), 'Drop 2nd: 7 chords changed in 1 measure on 3 staves');
  const after = await drawnNotes(page);
  const before = await notesBefore(page);
  assert.equal(before.filter((n) => n.endsWith('*')).length, 0);
  assert.deepEqual(after.filter((n) => n.endsWith('*')), ['d3*', 'e3*', 'd3*', 'd4*', 'd4*', 'g1*', 'd2*']);
  assert.deepEqual(after.slice(0, 4).sort(), ['b3', 'd3*', 'g3', 'g4']);
  assert.equal(after.length, before.length);
  assert.deepEqual(await listed(page), dryRun(chorale, { task: 'Drop 2nd' }));
  await page.screenshot({ path: join(root, 'build/web/page-after-apply.png') });
  await page.setViewportSize({ width: 400, height: 800 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 400), 'no sideways scrolling when narrow');
  await page.screenshot({ path: join(root, 'build/web/page-narrow.png'), fullPage: true });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('select by dragging, Drop 2nd, Transpose Octave, undo, redo: the file is the chain of commands, undo runs no job', async () => {
  const page = await openPage();
  await page.setViewportSize({ width: 1280, height: 2000 });
  const tune = join(scratch, 'tune.musicxml');
  assert.equal(await load(page, tune), '');
  await drawn(page);
  await page.waitForFunction(() => document.querySelectorAll('#view .page[data-drawn="yes"]').length >= 1);
  await drag(page, ['2', '2'], ['3', '2']); // the piano's upper staff, measures 2 and 3
  assert.equal(await page.inputValue('#measures'), '2-3');
  assert.deepEqual(await page.$$eval('#parts input', (b) => b.filter((x) => x.checked).map((x) => x.value)), ['P2']);
  assert.ok(await page.$$eval('#view .selected', (s) => s.length) >= 2, 'the selection is drawn over both measures');
  const where = { measures: '2-3', parts: 'P2' };
  await applyTask(page, 'Drop 2nd');
  assert.deepEqual(await listed(page), dryRun(tune, { task: 'Drop 2nd', ...where }));
  assert.equal((await listed(page)).length, 4, 'two half-note chords in each of two measures');
  const dropped = join(scratch, 'tune-dropped.musicxml');
  writeFileSync(dropped, command(tune, { task: 'Drop 2nd', ...where }));
  await applyTask(page, 'Transpose Octave');
  assert.deepEqual(await listed(page), dryRun(dropped, { task: 'Transpose Octave', ...where }));
  assert.equal((await listed(page)).length, 4);
  const chain = [{ task: 'Drop 2nd', ...where }, { task: 'Transpose Octave', ...where }];
  const jobs = () => page.evaluate(() => window.qvAsked.filter((k) => k === 'apply').length);
  assert.equal(await jobs(), 2);
  await page.keyboard.press('Control+z');
  await settled(page);
  assert.equal(await page.textContent('#history [aria-current]'), 'Drop 2nd, measures 2-3, Piano');
  assert.ok((await download(page)).bytes.equals(command(tune, chain[0])), 'after undo the file is the first step\'s');
  await page.keyboard.press('Control+Shift+Z');
  await settled(page);
  assert.equal(await page.textContent('#history [aria-current]'), 'Transpose Octave Top (goes Up), measures 2-3, Piano');
  await page.click('#undo');
  await settled(page);
  await page.keyboard.press('Control+y');
  await settled(page);
  assert.equal(await jobs(), 2, 'undo and redo run no job');
  const got = await download(page);
  assert.equal(got.name, 'tune-drop-2nd-transpose-octave-top-goes-up.musicxml');
  assert.ok(got.bytes.equals(command(tune, chain)), 'the page\'s file differs from the command\'s chain');
  // a third step on the whole score: nothing selected
  await page.click('#clear-selection');
  assert.equal(await page.$$eval('#view .selected', (s) => s.length), 0);
  await applyTask(page, 'Delete Outer Note', true);
  assert.ok((await download(page)).bytes.equals(command(tune, [...chain, { task: 'Delete Outer Note', bottom: true }])));
  assert.deepEqual(await page.$$eval('#history li', (l) => l.map((x) => x.textContent)),
    ['Opened tune.musicxml', 'Drop 2nd, measures 2-3, Piano', 'Transpose Octave Top (goes Up), measures 2-3, Piano', 'Delete Outer Note Bottom, all measures, all parts']);
  // choosing a changed chord shows it, highlighted
  await page.click('#changes li:nth-child(3) button');
  await page.waitForFunction(() => document.querySelectorAll('#view .picked').length > 0);
  assert.ok(await page.$$eval('#view .picked', (n) => n.every((x) => x.id.startsWith('qv-change-2-'))));
  assert.equal(await page.evaluate(() => document.activeElement?.dataset.change), '2', 'the focus stays on the chord chosen');
  await page.screenshot({ path: join(root, 'build/web/page-steps.png') });
  assert.deepEqual(page.errors, []);
  await page.close();
});

// What ./run --score --check prints for a file and options (after the task, when one is given):
// its fault lines as "P1 1 2 1 1: parallel fifths, voices 1 and 2 from the bass: C3 G3 -> D3 A3",
// and its summary line.
function commandCheck(file, options = {}) {
  const args = options.task ? [...commandArgs(options), '--dry-run'] : options.measures ? ['--measures', options.measures] : [];
  const out = execFileSync(join(root, 'run'), ['--score', file, '--check', ...args], { encoding: 'utf8' }).split('\n');
  return {
    lines: out.filter((l) => l.startsWith('part ') && l.includes(' from the bass: ')).map((l) => l.replace(
      /^part (\S+)(?: \([^)]*\))?, measure (\S+), beat (\S+), staff (\d+), voice (\S+)(?:, with part (\S+)(?: \([^)]*\))?, staff (\d+), voice (\S+))?: (.*)$/,
      (_, part, measure, beat, staff, voice, withPart, withStaff, withVoice, rest) =>
        `${part} ${measure} ${beat} ${staff} ${voice}${withPart ? ` with ${withPart} ${withStaff} ${withVoice}` : ''}: ${rest}`)),
    summary: out.find((l) => l.startsWith('voice leading: ')),
  };
}

// The page's check list in the same words, and its summary line.
async function checkListed(page) {
  const ids = Object.fromEntries(await page.$$eval('#parts input', (boxes) => boxes.map((b) => [b.parentElement.textContent.trim().replace(/ \(.*$/, ''), b.value])));
  const lines = (await page.$$eval('#faults button', (b) => b.map((x) => x.textContent))).map((t) =>
    t.replace(/^(.*?), staff (\d+), measure (\S+), beat ([\d.]+), voice (\S+)(?:, with (.*?), staff (\d+), voice (\S+))?: (.*)$/,
      (_, part, staff, measure, beat, voice, withPart, withStaff, withVoice, rest) =>
        `${ids[part] ?? part} ${measure} ${beat} ${staff} ${voice}${withPart ? ` with ${ids[withPart] ?? withPart} ${withStaff} ${withVoice}` : ''}: ${rest.replace(' → ', ' -> ')}`));
  return { lines, summary: (await page.textContent('#check-summary')).trim() };
}

// The notes a fault's line names, as the drawing names notes ("c3", "f#4"), sorted.
const namedIn = (line) => line.replace(/^.*from the bass: /, '').replace(' → ', ' ').split(' ').map((n) => n.toLowerCase()).sort();

test('Check voice leading lists what --check prints and shows each fault\'s notes; it changes nothing', async () => {
  const page = await openPage();
  const faults = scoreFile('chorale-faults');
  assert.equal(await load(page, faults), '');
  await drawn(page);
  assert.equal(await page.isVisible('#check-box'), false);
  await page.click('#check');
  assert.equal(await settled(page), '');
  await drawn(page);
  const expected = commandCheck(faults);
  assert.equal(expected.lines.length, 4);
  assert.deepEqual(await checkListed(page), expected);
  assert.equal(await page.textContent('#check-title'), 'Voice leading, all measures, all parts');
  assert.equal(await page.$$eval('#history li', (l) => l.length), 1, 'a check makes no step');
  assert.equal(await page.isDisabled('#download'), true);
  // each fault chosen: exactly the notes its line names are highlighted, the entry pressed
  const lines = await page.$$eval('#faults button', (b) => b.map((x) => x.textContent));
  for (const [k, line] of lines.entries()) {
    await page.click(`#faults li:nth-child(${k + 1}) button`);
    await settled(page);
    const picked = await page.$$eval('#view g.note.picked', (notes) =>
      notes.map((n) => `${n.dataset.pname}${n.dataset.accid === 'f' ? 'b' : n.dataset.accid === 's' ? '#' : ''}${n.dataset.oct}`).sort());
    assert.deepEqual(picked, namedIn(line), line);
    assert.deepEqual(await page.$$eval('#faults button', (b) => b.map((x) => x.getAttribute('aria-pressed'))).then((p) => p.indexOf('true')), k);
  }
  await page.screenshot({ path: join(root, 'build/web/page-check.png') });
  // a selection: measure 2 alone, as --measures 2
  await page.fill('#measures', '2');
  await page.click('#check');
  assert.equal(await settled(page), '');
  assert.deepEqual(await checkListed(page), commandCheck(faults, { measures: '2' }));
  assert.equal(await page.textContent('#check-title'), 'Voice leading, measure 2, all parts');
  await page.click('#faults li:nth-child(1) button');
  await settled(page);
  assert.equal(await page.$$eval('#view g.note.picked', (n) => n.length), 2, 'the earlier check\'s names are gone');
  // a clean chorale: nothing found, said so
  assert.equal(await load(page, scoreFile('chorale-clean')), '');
  await page.fill('#measures', '');
  await page.click('#check');
  assert.equal(await settled(page), '');
  assert.deepEqual(await checkListed(page), { ...commandCheck(scoreFile('chorale-clean')), lines: [] });
  assert.match(await page.textContent('#faults'), /^Nothing found/);
  // a measure the score lacks, no part chosen: said in the page's words, the list kept
  await page.fill('#measures', '9');
  await page.click('#check');
  assert.match(await settled(page), /^The score has no measure 9\b.*; change the measures in Where\.$/);
  assert.match(await page.textContent('#faults'), /^Nothing found/);
  await page.fill('#measures', '');
  await page.setChecked('#parts input', false);
  await page.click('#check');
  assert.equal(await settled(page), 'Choose at least one part.');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('Voice Leading Top and Bottom, checked after each Apply: the command\'s file and check, undone and redone', async () => {
  const page = await openPage();
  const faults = scoreFile('chorale-faults');
  assert.equal(await load(page, faults), '');
  await page.selectOption('#task', 'Voice Leading');
  assert.equal(await page.isVisible('#direction'), true);
  assert.deepEqual([await page.textContent('#top-label'), await page.textContent('#bottom-label')], ['Top', 'Bottom']);
  await page.check('#check-after');
  for (const bottom of [false, true]) {
    await applyTask(page, 'Voice Leading', bottom);
    assert.ok((await download(page)).bytes.equals(command(faults, { task: 'Voice Leading', bottom })), `Voice Leading ${bottom ? 'Bottom' : 'Top'}`);
    assert.deepEqual(await checkListed(page), commandCheck(faults, { task: 'Voice Leading', bottom }));
    assert.deepEqual(await listed(page), dryRun(faults, { task: 'Voice Leading', bottom }));
    await page.click('#faults li:nth-child(1) button');
    await settled(page);
    const first = await page.textContent('#faults li:nth-child(1) button');
    assert.equal(await page.$$eval('#view g.note.picked', (n) => n.length), namedIn(first).length);
    if (!bottom) await page.screenshot({ path: join(root, 'build/web/page-check-after-apply.png'), fullPage: true });
    await page.click('#undo');
    await settled(page);
    assert.equal(await page.textContent('#history [aria-current]'), 'Opened chorale-faults.musicxml');
    assert.equal(await page.isVisible('#check-box'), false, 'the score as loaded was not checked');
    await page.click('#redo');
    await settled(page);
    assert.deepEqual(await checkListed(page), commandCheck(faults, { task: 'Voice Leading', bottom }), 'the check comes back with its step');
    await page.click('#undo');
    await settled(page);
  }
  // switched off, an Apply lists no check
  await page.uncheck('#check-after');
  await applyTask(page, 'Voice Leading');
  assert.equal(await page.isVisible('#check-box'), false);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('past the memory budget the oldest steps are forgotten, said in the list, and still named by the download', async () => {
  const tune = join(scratch, 'tune.musicxml');
  const state = readFileSync(tune).length * 3; // what the page counts for one state
  const page = await openPage(Math.floor(state * 2.5)); // room for two states of this score

  assert.equal(await load(page, tune), '');
  await drawn(page);
  const steps = [{ task: 'Drop 2nd' }, { task: 'Transpose Octave' }, { task: 'Delete Outer Note', bottom: true }];
  for (const s of steps) await applyTask(page, s.task, s.bottom);
  assert.deepEqual(await page.$$eval('#history li', (l) => l.map((x) => x.textContent)), [
    '1 earlier step of tune.musicxml can no longer be undone (memory).',
    'Transpose Octave Top (goes Up), all measures, all parts', 'Delete Outer Note Bottom, all measures, all parts']);
  await page.click('#undo');
  await settled(page);
  assert.ok(await page.isDisabled('#undo'), 'the oldest step kept is as far back as undo goes');
  assert.ok((await download(page)).bytes.equals(command(tune, steps.slice(0, 2))));
  await page.click('#redo');
  await settled(page);
  const got = await download(page);
  assert.ok(got.bytes.equals(command(tune, steps)), 'the file is still the whole chain');
  assert.match(got.name, /^tune-drop-2nd-transpose-octave-top-goes-up-/, 'the name still says the forgotten steps');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('playback sounds the selected measures and highlights their notes; chord symbols have their flats', async () => {
  const page = await openPage();
  assert.equal(await load(page, join(scratch, 'tune.musicxml')), '');
  await drawn(page);
  // the flat of "Bb Maj7" in the renderer's own font, which the page lets load
  const flat = await page.$eval('#view g.harm tspan[font-family="Leipzig"]', (t) => t.textContent.codePointAt(0));
  assert.ok(flat >= 0xe000 && flat <= 0xf8ff, `a flat of the music font, not ${flat.toString(16)}`);
  await page.waitForFunction(() => Array.from(document.fonts).some((f) => f.family.includes('Leipzig') && f.status === 'loaded'));
  assert.deepEqual(await page.evaluate(() => window.qvBlocked), []);
  await page.fill('#measures', '3-4');
  await page.click('#play');
  await page.waitForFunction(() => document.getElementById('level').value > 0.001, null, { timeout: 20000 });
  await page.waitForFunction(() => document.querySelectorAll('#view .playing').length > 0);
  const playing = await page.$$eval('#view .playing', (n) => n.map((x) => x.closest('g.measure').dataset.n));
  assert.ok(playing.every((n) => n === '3' || n === '4'), `notes of measures 3-4 only: ${playing}`);
  await page.screenshot({ path: join(root, 'build/web/page-playing.png') });
  await page.click('#stop');
  await page.waitForFunction(() => document.querySelectorAll('#view .playing').length === 0);
  // a click selects a measure of a part, a shift-click extends over measures and parts, a
  // click beside the music clears
  const click = async (m, staff, shift = false) => {
    const [x, y] = await page.$eval(`#view g.measure[data-n="${m}"] > g.staff[data-n="${staff}"] > path`, (line) => {
      line.scrollIntoView({ block: 'center' });
      const b = line.getBoundingClientRect();
      return [b.left + b.width / 2, b.top + 2];
    });
    if (shift) await page.keyboard.down('Shift');
    await page.mouse.click(x, y);
    if (shift) await page.keyboard.up('Shift');
  };
  const chosen = () => page.$$eval('#parts input', (b) => b.filter((x) => x.checked).map((x) => x.value).join(','));
  await click('1', '5');
  assert.deepEqual([await page.inputValue('#measures'), await chosen()], ['1', 'P4']);
  await click('2', '3', true); // the piano's lower staff: the whole piano
  assert.deepEqual([await page.inputValue('#measures'), await chosen()], ['1-2', 'P2,P3,P4']);
  const title = await page.$eval('#view svg', (svg) => {
    svg.scrollIntoView({ block: 'start' });
    const b = svg.getBoundingClientRect();
    return [b.left + 20, b.top + 20];
  });
  await page.mouse.click(...title);
  assert.deepEqual([await page.inputValue('#measures'), await chosen()], ['', 'P1,P2,P3,P4']);
  assert.equal(await page.$$eval('#view .selected', (s) => s.length), 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a wrong file keeps the loaded score and its steps', async () => {
  const page = await openPage();
  await page.click('#example');
  await page.waitForSelector('#apply:enabled');
  await settled(page); // drawn: a click meanwhile would be ignored
  await applyTask(page, 'Drop 2nd');
  const png = Buffer.from('89504e470d0a1a0a0000000d4948445200000001000000010806000000', 'hex');
  for (const file of [{ name: 'picture.musicxml', mimeType: 'text/xml', buffer: png },
    { name: 'notes.musicxml', mimeType: 'text/plain', buffer: Buffer.from('not a score at all\n') }]) {
    const message = await load(page, file);
    assert.ok(message.includes(file.name) && message.includes('chorale.musicxml is still loaded'), message);
    assert.equal(await page.textContent('#history [aria-current]'), 'Drop 2nd, all measures, all parts');
    assert.ok((await drawnNotes(page)).length > 0);
  }
  assert.ok((await download(page)).bytes.equals(command(chorale, { task: 'Drop 2nd' })));
  await page.close();
});

test('once opened, the page reloads and works without its server', async () => {
  const page = await openPage();
  await page.evaluate(() => navigator.serviceWorker.ready);
  const scope = await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).scope);
  assert.equal(scope, address, 'the offline worker keeps the page\'s own folder');
  await page.reload(); // the files the first visit fetched are now kept
  await page.waitForSelector('#task option');
  await context.setOffline(true);
  try {
    await page.reload();
    await page.waitForSelector('#task option');
    await page.click('#example');
    await page.waitForSelector('#apply:enabled');
  await settled(page); // drawn: a click meanwhile would be ignored
    await applyTask(page, 'Drop 2nd');
    assert.equal(await page.textContent('#summary'), 'Drop 2nd: 7 chords changed in 1 measure on 3 staves');
    assert.ok(await page.evaluate(() => fetch('soundfont.sf2').then((r) => r.ok)), 'the sounds are kept too');
  } finally {
    await context.setOffline(false);
  }
  // installable: the browser finds nothing missing in the manifest, its icon or the offline worker
  const cdp = await context.newCDPSession(page);
  assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  assert.deepEqual((await cdp.send('Page.getAppManifest')).errors, []);
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
    [scoreFile('voices'), { task: 'Rotate' }, 'voices-rotate-up.musicxml'],
    [scoreFile('leadsheet'), { task: 'Realize Chord Symbols', parts: 'P2', voicing: 'drop2' }, 'leadsheet-realize-chord-symbols.musicxml'],
    [scoreFile('leadsheet'), { task: 'Realize Chord Symbols', parts: 'P2', leading: false }, 'leadsheet-realize-chord-symbols.musicxml'],
    [scoreFile('leadsheet'), { task: 'Block Chords', parts: 'P1' }, 'leadsheet-block-chords.musicxml'],
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
  await drawn(page);
  const after = await drawnNotes(page);
  assert.equal((await notesBefore(page)).length, after.length);
  assert.deepEqual(after.filter((n) => n.endsWith('*')),
    ['d3*', 'e3*', 'd3*', 'd4*', 'd4*', 'g1*', 'd2*']);
  assert.ok((await download(page)).bytes.equals(command(wide, { task: 'Drop 2nd' })));
  // the check reads the text drawn as the command reads the file written (by command() above)
  await page.click('#check');
  assert.equal(await settled(page), '');
  assert.deepEqual(await checkListed(page), commandCheck(join(scratch, `command-0-${basename(wide)}`)));
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
  await settled(page); // drawn: a click meanwhile would be ignored
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
    for (let i = 0; i < 40; ++i) {
      if (await page.evaluate((want) => document.activeElement?.id === want, id)) return;
      await page.keyboard.press('Tab');
    }
    assert.fail(`#${id} cannot be reached with Tab`);
  };
  await tabTo('example');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#apply:enabled');
  await settled(page); // drawn: a click meanwhile would be ignored
  await drawn(page);
  assert.equal(await page.evaluate(() => document.activeElement?.id), 'example', 'the focus stays after Load');
  await tabTo('task');
  for (let i = 0; i < 6; ++i) await page.keyboard.press('ArrowDown');
  assert.equal(await page.$eval('#task', (s) => s.value), 'Drop 2nd');
  await tabTo('apply');
  await page.keyboard.press('Enter');
  assert.equal(await settled(page), '');
  assert.equal(await page.evaluate(() => document.activeElement?.id), 'apply', 'the focus stays after Apply');
  await tabTo('download');
  const [file] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Enter')]);
  assert.ok(readFileSync(await file.path()).equals(command(chorale, { task: 'Drop 2nd' })));
  await page.close();
});

test('Cancel ends a running Apply: the score stays as it was, the user is told, the next Apply works', async () => {
  const long = join(scratch, 'long.musicxml');
  writeFileSync(long, leadSheet(300));
  const page = await openPage();
  assert.equal(await load(page, long), '');
  await drawn(page);
  const notes = (await drawnNotes(page)).length;
  await page.selectOption('#task', 'Drop 2nd');
  await page.click('#apply');
  await page.waitForSelector('#cancel:visible');
  await page.click('#cancel');
  assert.equal(await settled(page), '');
  assert.equal(await page.textContent('#notice'), 'Cancelled: Drop 2nd, all measures, all parts was not applied. The score is as it was before.');
  assert.deepEqual(await page.$$eval('#history li', (l) => l.map((x) => x.textContent)), ['Opened long.musicxml']);
  assert.ok(await page.isDisabled('#undo') && await page.isDisabled('#download'));
  const still = await drawnNotes(page);
  assert.ok(still.length >= notes && !still.some((n) => n.endsWith('*')), 'the drawing is still there, unchanged');
  // a new worker: the state's text is handed to it, and a job runs on the same score
  await page.fill('#measures', '1-2');
  await applyTask(page, 'Drop 2nd');
  assert.ok((await download(page)).bytes.equals(command(long, { task: 'Drop 2nd', measures: '1-2' })));
  // Esc cancels too; Undo afterwards still goes back to the file as loaded
  await page.fill('#measures', '');
  await page.click('#apply');
  await page.keyboard.press('Escape');
  await settled(page);
  assert.match(await page.textContent('#notice'), /^Cancelled: /);
  assert.equal(await page.textContent('#history [aria-current]'), 'Drop 2nd, measures 1-2, all parts');
  await page.click('#undo');
  await settled(page);
  await drawn(page);
  assert.equal((await drawnNotes(page)).filter((n) => n.endsWith('*')).length, 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('two parts of the same name are told apart; a task that changes nothing makes no step', async () => {
  const twins = join(scratch, 'twins.musicxml');
  writeFileSync(twins, leadSheet(4, { P3: 'Violin', P4: 'Violin' }));
  const page = await openPage();
  await applyTo(page, twins, { task: 'Drop 2nd', parts: 'P3' });
  assert.deepEqual(await page.$$eval('#parts label', (l) => l.map((x) => x.textContent.trim())), ['Lead (P1)', 'Piano (P2)', 'Violin (P3)', 'Violin (P4)']);
  assert.equal(await page.textContent('#history [aria-current]'), 'Drop 2nd, all measures, Violin (P3)');
  const rows = await page.$$eval('#changes button', (b) => b.map((x) => x.textContent));
  assert.ok(rows.length > 0 && rows.every((r) => r.startsWith('Violin (P3), staff 1, ')), rows.join('\n'));
  assert.deepEqual(await listed(page), dryRun(twins, { task: 'Drop 2nd', parts: 'P3' }));
  // nothing to change: no step, no new download name, said so
  const asked = await page.evaluate(() => window.qvAsked.length);
  await page.selectOption('#task', 'Unisons to Octaves');
  await page.click('#apply');
  assert.equal(await settled(page), '');
  assert.match(await page.textContent('#notice'), /^Unisons to Octaves Upwards, all measures, Violin \(P3\): no chord was changed, so no step was added\./);
  assert.equal(await page.$$eval('#history li', (l) => l.length), 2);
  assert.ok(await page.isDisabled('#redo'));
  assert.equal((await download(page)).name, 'twins-drop-2nd.musicxml');
  assert.ok(await page.evaluate((n) => window.qvAsked.slice(n).includes('apply'), asked), 'the job ran');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('messages are written for the page: its own field names, a stop between sentences', async () => {
  const page = await openPage();
  await page.click('#example');
  await page.waitForSelector('#apply:enabled');
  await settled(page); // drawn: a click meanwhile would be ignored
  await drawn(page);
  const tune = join(scratch, 'tune.musicxml');
  assert.equal(await load(page, tune), '');
  await drawn(page);
  const tried = {};
  for (const measures of ['5-2', '1,,3', ' - ', '99']) {
    await page.fill('#measures', measures);
    await page.click('#apply');
    tried[measures] = await settled(page);
  }
  assert.deepEqual(tried, {
    '5-2': 'Measures 5-2 run backwards: measure 2 comes first in the score. Write 2-5.',
    '1,,3': 'Measures "1,,3": there is an empty place between two commas; write a measure or a range in each place (for example 1,3,5-8).',
    ' - ': 'Measures "-": a dash needs a measure on at least one side (5-, -8 or 3-8).',
    '99': 'The score has no measure 99 (its measures are numbered 1 to 8); change the measures in Where.',
  });
  for (const message of Object.values(tried)) assert.doesNotMatch(message, /--\w/);
  const midi = { name: 'song.musicxml', mimeType: 'audio/midi', buffer: Buffer.from('4d546864000000060000000100604d54726b00000004', 'hex') };
  assert.match(await load(page, midi), /^song\.musicxml: .*\. The score tune\.musicxml is still loaded\.$/);
  assert.equal(await page.$$eval('#history li', (l) => l.length), 1);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('what was drawn is kept: Undo, Redo and Before the step seen once ask the engine nothing; the zoom is remembered', async () => {
  const page = await openPage();
  const tune = join(scratch, 'tune.musicxml');
  assert.equal(await load(page, tune), '');
  await drawn(page);
  // at the usual zoom a 1280-pixel window shows a whole line of four-bar phrases
  const perLine = () => page.$eval('#view svg g.system', (s) => s.querySelectorAll('g.measure').length);
  assert.ok(await perLine() >= 4, `${await perLine()} measures a line`);
  await applyTask(page, 'Drop 2nd');
  const red = (await drawnNotes(page)).filter((n) => n.endsWith('*')).length;
  assert.ok(red > 0);
  for (const side of ['before', 'after']) {
    await page.check(`#side-${side}`);
    await drawn(page);
  }
  await page.click('#undo');
  await drawn(page);
  const asked = await page.evaluate(() => window.qvAsked.length);
  const shown = [];
  for (const step of ['#redo', '#side-before', '#side-after', '#undo', '#redo']) {
    await page.click(step);
    await drawn(page);
    shown.push((await drawnNotes(page)).filter((n) => n.endsWith('*')).length);
  }
  assert.deepEqual(shown, [red, 0, red, 0, red], 'each state and side drawn as it was');
  assert.deepEqual(await page.evaluate((n) => window.qvAsked.slice(n), asked), [], 'nothing asked of the engine');
  // a second step: the score before it is the first step's drawing, shown at once, its red hidden
  await applyTask(page, 'Transpose Octave');
  const fills = () => page.$$eval('#view g.note[data-color]', (n) => [...new Set(n.map((x) => getComputedStyle(x).fill))]);
  assert.notDeepEqual(await fills(), ['rgb(0, 0, 0)']);
  const applied = await page.evaluate(() => window.qvAsked.length);
  await page.check('#side-before');
  await settled(page);
  await drawn(page);
  assert.deepEqual(await page.evaluate((n) => window.qvAsked.slice(n), applied), []);
  assert.deepEqual(await fills(), ['rgb(0, 0, 0)'], 'the first step\'s marks are not red before the second');
  await page.check('#side-after');
  await settled(page);
  // the zoom: another one draws more measures a line, and is there after a reload
  const before = await perLine();
  await page.selectOption('#zoom', '40');
  await settled(page);
  await drawn(page);
  assert.ok(await perLine() > before, `${await perLine()} measures a line at 40%, ${before} at the usual zoom`);
  await page.reload();
  await page.waitForSelector('#task option');
  assert.equal(await page.inputValue('#zoom'), '40');
  await page.selectOption('#zoom', '50');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('Explode draws the notes it writes on the receiving staves in red, each listed chord found; Reduce says the places it left alone', async () => {
  const page = await openPage();
  await applyTo(page, scoreFile('explode-counts'), { task: 'Explode' });
  await drawn(page);
  // the top staff keeps its highest notes as they were; every note below is new
  const red = (await drawnNotes(page)).filter((n) => n.endsWith('*')).sort();
  // (the single G4 is dealt to no one: the staves below keep their B3 and their rest)
  assert.deepEqual(red, ['c4*', 'c4*', 'c4*', 'd4*', 'e4*', 'f4*']);
  const rows = await page.$$eval('#changes button', (b) => b.map((x) => x.textContent));
  assert.equal(rows.length, 6);
  assert.match(rows[5], /^Three, staff 1, measure 1, .*: rest → C4 D4 E4$/);
  await page.click('#changes li:nth-child(6) button');
  await page.waitForFunction(() => document.querySelectorAll('#view .picked').length > 0);
  const picked = await page.$$eval('#view g.note.picked', (notes) => notes.map((n) => `${n.dataset.pname}${n.dataset.oct}${n.dataset.color ? '*' : ''}`).sort());
  assert.deepEqual(picked, ['c4*', 'd4*', 'e4*']);
  await page.screenshot({ path: join(root, 'build/web/page-explode.png') });
  // Reduce gathers every beat it can and says where it could not
  await applyTo(page, scoreFile('reduce-tuplet'), { task: 'Reduce' });
  assert.equal(await page.textContent('#left-alone'), 'left alone: 4 places where the staves\' rhythms cannot be split to meet, a grace note is not on every staff, the notes would not fit one chord or the staff they gather on holds nothing: measure 1 beat 2, measure 1 beat 2.33, measure 1 beat 2.5, measure 1 beat 2.67');
  assert.equal(await page.textContent('#summary'), 'Reduce: 4 chords changed in 1 measure on 2 staves');
  await drawn(page);
  await page.screenshot({ path: join(root, 'build/web/page-reduce.png') });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('Explode on a selection of one staff says that it needs two, and makes no step', async () => {
  const page = await openPage();
  assert.equal(await load(page, scoreFile('explode-counts')), '');
  await drawn(page);
  await drag(page, ['1', '2'], ['1', '2']); // the second part's one staff
  assert.deepEqual(await page.$$eval('#parts input', (b) => b.filter((x) => x.checked).map((x) => x.value)), ['P2']);
  await page.selectOption('#task', 'Explode');
  await page.click('#apply');
  assert.equal(await settled(page), 'explode-counts.musicxml: Explode needs a selection of at least two staves; the parts chosen hold one.');
  assert.equal(await page.$$eval('#history li', (l) => l.length), 1);
  assert.ok(await page.isDisabled('#download'));
  assert.equal((await drawnNotes(page)).filter((n) => n.endsWith('*')).length, 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the About line names the version the command carries', async () => {
  const page = await openPage();
  const [, version] = /^qvchord (\S+)\n$/.exec(execFileSync(join(root, 'run'), ['--version'], { encoding: 'utf8' }));
  assert.match(await page.textContent('#about'), new RegExp(`^About: QV Chord Shaper ${version.replaceAll('.', '\\.')}, `));
  await page.close();
});

test('nothing is fetched from anywhere but the page\'s own server', () => {
  assert.deepEqual(offsite, []);
});

test('the server answers the site\'s files only, and outlives a malformed address', { skip: projectServerOnly }, async () => {
  const status = async (path) => (await fetch(new URL(path, address))).status;
  assert.equal(await status('/%E0%A4%A'), 404);
  assert.equal(await status('/..%2f..%2frun'), 404);
  assert.equal(await status('/qvengine.wasm'), 200);
});

test('the server says when its port is taken and serves on another; a malformed port is refused', { skip: projectServerOnly }, async () => {
  const serveScript = join(root, 'web/serve.mjs');
  const port = server.address().port; // taken: the tests' own server
  const child = spawn(process.execPath, [serveScript, String(port)], { stdio: ['ignore', 'pipe', 'pipe'] });
  try {
    let out = '';
    child.stdout.on('data', (d) => { out += d; });
    await new Promise((resolve, reject) => {
      child.stdout.on('data', () => out.includes('served at') && resolve());
      child.once('exit', () => reject(new Error(`the server ended: ${out}`)));
    });
    const other = Number(/Port \d+ is in use \(another program, or this page served already\); serving on port (\d+) instead\./.exec(out)?.[1]);
    assert.ok(other && other !== port, out);
    assert.match(out, new RegExp(`http://127\\.0\\.0\\.1:${other}/`));
    assert.equal((await fetch(`http://127.0.0.1:${other}/index.html`)).status, 200);
  } finally {
    child.kill();
  }
  for (const bad of ['80a', '-1', '65536', '']) {
    const r = spawnSync(process.execPath, [serveScript, bad], { encoding: 'utf8' });
    assert.equal(r.status, 2, bad);
    assert.match(r.stderr, /is not a port: give a whole number from 0 to 65535/);
    assert.doesNotMatch(r.stderr + r.stdout, /\n\s+at /, 'no stack trace');
  }
});

// The web page against Verovio alone, in headless Chromium, on a 500-measure four-part score:
// the first page drawn after a file is chosen, an Apply on 8 measures of one part with the
// view drawn again, Undo, Redo and the before/after switch (first and again: what was drawn is
// kept), and the memory the page's renderer holds. The page is drawn at 100%, the layout
// Verovio alone is given. Each figure is a ratio
// measured in the same run, printed beside its bound.
//   node bench/page_bench.mjs [MEASURES]      (the site must be built: web/build.sh)
import { readFileSync, writeFileSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from '../web/node_modules/playwright-core/index.mjs';
import { serve } from '../web/serve.mjs';
import { leadSheet } from '../web/tests/support/scores.mjs';

const measures = Number(process.argv[2] ?? 500);
const scratch = mkdtempSync(join(tmpdir(), 'qvbench-'));
const score = join(scratch, 'long.musicxml');
writeFileSync(score, leadSheet(measures));
const server = await serve(0);
const address = `http://127.0.0.1:${server.address().port}/`;
const args = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--enable-precise-memory-info'];

// Runs work in a browser of its own and answers its result and the resident memory of its
// renderer processes (the page and its workers), in MB, once the work is done.
async function inBrowser(work) {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 900 } });
    const result = await work(page);
    await page.waitForTimeout(500);
    const cdp = await browser.newBrowserCDPSession();
    const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
    let kb = 0;
    for (const p of processInfo.filter((x) => x.type === 'renderer')) {
      const status = readFileSync(`/proc/${p.id}/status`, 'utf8');
      kb += Number(/VmRSS:\s+(\d+)/.exec(status)?.[1] ?? 0);
    }
    return { ...result, mb: kb / 1024 };
  } finally {
    await browser.close();
  }
}

const ROUNDS = 3; // each side measured in turn, the best of each kept: the machine is shared

const blank = await inBrowser(async (page) => {
  await page.goto(`${address}icon.svg`);
  return {};
});

// Verovio alone, with the page's options: the text loaded and its first page drawn into the document.
const verovioAlone = () => inBrowser(async (page) => {
  await page.goto(`${address}icon.svg`);
  const text = readFileSync(score, 'utf8');
  return page.evaluate(async ([site, xml]) => {
    const { default: createModule } = await import(`${site}verovio/verovio-module.mjs`);
    const { VerovioToolkit } = await import(`${site}verovio/verovio.mjs`);
    const toolkit = new VerovioToolkit(await createModule());
    toolkit.setOptions({ scale: 45, pageWidth: 1100, adjustPageHeight: true, footer: 'none', xmlIdChecksum: true,
      svgAdditionalAttribute: ['note@pname', 'note@oct', 'note@accid', 'note@color', 'measure@n', 'staff@n'] });
    const draw = () => {
      const t0 = performance.now();
      toolkit.loadData(xml);
      const svg = toolkit.renderToSVG(1);
      document.documentElement.replaceChildren(new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement);
      document.documentElement.getBoundingClientRect();
      return performance.now() - t0;
    };
    const first = draw();
    window.keep = toolkit;
    return { first, again: draw() };
  }, [address, text]);
});

const busy = (page) => page.waitForFunction(() => !document.getElementById('job').hasAttribute('aria-busy') &&
  document.querySelector('#view .page[data-drawn="yes"] svg'), null, { timeout: 120000 });

const thePage = () => inBrowser(async (page) => {
  await page.addInitScript(() => {
    localStorage.setItem('qv-zoom', '100');
    window.jobs = 0;
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function (message, ...rest) {
      if (message?.kind === 'apply') window.jobs += 1;
      return post.call(this, message, ...rest);
    };
  });
  await page.goto(address);
  await page.waitForSelector('#task option');
  let t0 = Date.now();
  await page.setInputFiles('#file', score);
  await page.waitForSelector('#view .page[data-drawn="yes"] svg', { timeout: 120000 });
  const first = Date.now() - t0;
  await busy(page); // the measures found, the selection ready
  await page.fill('#measures', '101-108');
  for (const id of ['P1', 'P3', 'P4']) await page.uncheck(`#parts input[value="${id}"]`);
  await page.selectOption('#task', 'Drop 2nd');
  t0 = Date.now();
  await page.click('#apply');
  await page.waitForFunction(() => document.querySelectorAll('#history li').length === 2, null, { timeout: 120000 });
  await busy(page);
  const apply = Date.now() - t0;
  const summary = await page.textContent('#summary');
  t0 = Date.now();
  await page.click('#undo');
  await page.waitForFunction(() => document.querySelector('#history [aria-current]')?.dataset.step === '0', null, { timeout: 120000 });
  await busy(page);
  const undo = Date.now() - t0;
  const timed = async (selector) => {
    const t = Date.now();
    await page.click(selector);
    await busy(page);
    return Date.now() - t;
  };
  const redo = await timed('#redo');
  const beforeFirst = await timed('#side-before');
  await timed('#side-after');
  const beforeAgain = await timed('#side-before');
  await timed('#side-after');
  const undoAgain = await timed('#undo');
  const redoAgain = await timed('#redo');
  const jobs = await page.evaluate(() => window.jobs);
  return { first, apply, undo, redo, beforeFirst, beforeAgain, undoAgain, redoAgain, jobs, summary, pages: await page.textContent('#view-caption') };
});

const runs = { verovio: [], ours: [] };
for (let round = 0; round < ROUNDS; ++round) {
  runs.verovio.push(await verovioAlone());
  runs.ours.push(await thePage());
}
const best = (list, key) => Math.min(...list.map((r) => r[key]));
const verovio = { first: best(runs.verovio, 'first'), again: best(runs.verovio, 'again'), mb: runs.verovio.at(-1).mb };
const ours = { ...runs.ours.at(-1) };
for (const key of ['first', 'apply', 'undo', 'redo', 'beforeFirst', 'beforeAgain', 'undoAgain', 'redoAgain']) ours[key] = best(runs.ours, key);
ours.jobs = Math.max(...runs.ours.map((r) => r.jobs));

server.close();
rmSync(scratch, { recursive: true, force: true });

const line = (name, value, bound, unit = '') => {
  const ok = value <= bound;
  console.log(`${name.padEnd(58)} ${value.toFixed(2).padStart(7)}${unit}  (bound ${bound})  ${ok ? 'ok' : 'OVER'}`);
  return ok;
};
console.log(`score: ${measures} measures, 4 parts (${ours.pages}); ${ours.summary}; best of ${ROUNDS} rounds`);
console.log(`Verovio alone: load and draw page 1 ${verovio.first.toFixed(0)} ms (again ${verovio.again.toFixed(0)} ms)`);
console.log(`page: first page ${ours.first} ms, Apply with redraw ${ours.apply} ms, Undo ${ours.undo} ms, Redo ${ours.redo} ms, jobs run ${ours.jobs}`);
console.log(`page: Before the step ${ours.beforeFirst} ms, again ${ours.beforeAgain} ms; Undo again ${ours.undoAgain} ms, Redo again ${ours.redoAgain} ms`);
console.log(`renderer memory: blank ${blank.mb.toFixed(0)} MB, Verovio alone ${verovio.mb.toFixed(0)} MB, page ${ours.mb.toFixed(0)} MB`);
const results = [
  line('first page / Verovio load+draw', ours.first / verovio.first, 1.5),
  // Verovio's second load is the one to match: by then the page's Verovio is warm too
  line('Apply on 8 measures of one part, redrawn / Verovio load+draw', ours.apply / verovio.again, 1.5),
  line('jobs run by Apply, Undo and Redo (one Apply)', ours.jobs, 1),
  // a state seen before is shown from what was kept: Redo no slower than Undo; the score
  // before the step is the state before it, drawn already; Undo after the switch still kept
  line('Redo / Undo', ours.redo / Math.max(ours.undo, 1), 1.5),
  line('Before the step, first time / Verovio load+draw', ours.beforeFirst / verovio.again, 0.25),
  line('Undo after the switch / Verovio load+draw', ours.undoAgain / verovio.again, 0.25),
  line('memory above a blank page / Verovio alone above it', (ours.mb - blank.mb) / (verovio.mb - blank.mb), 4),
];
process.exitCode = results.every(Boolean) ? 0 : 1;

// The page's worker: the engine (the chord tasks and the MusicXML module, compiled to
// WebAssembly) and Verovio, which draws MusicXML as SVG and renders it as MIDI. The work runs
// here so that the page stays responsive, and can be ended (Cancel) and started again at any
// time: the page keeps the files and the texts to draw of every state of the document, and
// hands a text over when it asks about a state this worker has not loaded.
import createEngine from './qvengine.js';
import createVerovioModule from './verovio/verovio-module.mjs';
import { VerovioToolkit } from './verovio/verovio.mjs';

// Verovio's options: the page's drawing (its width comes with each request: the page's zoom).
const OPTIONS = {
  scale: 45,
  pageWidth: 1100,
  adjustPageHeight: true,
  footer: 'none',
  // the same text drawn again gets the same element ids, so a page drawn earlier still
  // matches what playback and the measure list name
  xmlIdChecksum: true,
  // the pitch and colour of every note, the numbers of measures and staves, for reading
  // the drawing back and selecting in it
  svgAdditionalAttribute: ['note@pname', 'note@oct', 'note@accid', 'note@color', 'measure@n', 'staff@n'],
};

// Two Verovio documents are kept loaded, the one shown and the one shown before, so that Undo,
// Redo and the before/after switch after an Apply draw at once instead of reading the score again.
function load() {
  return Promise.all([createEngine(), createVerovioModule()]).then(([engine, verovio]) => {
    const holders = [0, 1].map(() => {
      const toolkit = new VerovioToolkit(verovio);
      toolkit.setOptions(OPTIONS);
      return { toolkit, name: null, width: OPTIONS.pageWidth, measures: null };
    });
    return { engine, holders };
  });
}

let ready = load();
ready.then(
  ({ engine }) => postMessage({ type: 'ready', tasks: engine.tasks() }),
  (e) => postMessage({ type: 'fatal', message: `The engine could not be loaded: ${e}` }),
);

// The Verovio document of one side of one state, laid out at a width; loaded from the text
// given if no holder has it (into the one used longest ago). Answers the holder, 'missing'
// when no text was given for a state not loaded, or null when the text cannot be drawn.
function hold(holders, { key, side, width = OPTIONS.pageWidth, text }) {
  const name = `${key}/${side}`;
  let i = holders.findIndex((h) => h.name === name);
  if (i < 0) {
    if (typeof text !== 'string') return 'missing';
    i = holders.length - 1;
    const holder = holders[i];
    holder.name = null;
    holder.measures = null;
    if (holder.width !== width) holder.toolkit.setOptions({ pageWidth: width });
    holder.width = width;
    if (!holder.toolkit.loadData(text)) return null;
    holder.name = name;
  } else if (holders[i].width !== width) {
    // another zoom: the same document laid out again, cheaper than reading it again
    holders[i].toolkit.setOptions({ pageWidth: width });
    holders[i].toolkit.redoLayout();
    holders[i].width = width;
    holders[i].measures = null;
  }
  holders.unshift(...holders.splice(i, 1));
  return holders[0];
}

// Every measure in score order: its number, page, and start in quarter notes and milliseconds.
function measures(holder) {
  if (holder.measures) return holder.measures;
  const { toolkit } = holder;
  const list = [];
  // (a measure of rests only is listed too: the timemap marks every measure's start)
  for (const e of toolkit.renderToTimemap({ includeMeasures: true })) {
    if (!e.measureOn) continue;
    const { n } = toolkit.getElementAttr(e.measureOn);
    list.push({ id: e.measureOn, n: n ?? '', page: 0, qstamp: e.qstamp, tstamp: e.tstamp });
  }
  // Pages follow the measures' order, so each page's last measure is looked for where the
  // page before ended, and searched for only when it is not there: a few look-ups a page
  // instead of one a measure.
  const pageOf = (i) => toolkit.getPageWithElement(list[i].id);
  for (let i = 0, guess = 1; i < list.length;) {
    const page = pageOf(i);
    let last = Math.min(list.length - 1, i + guess - 1);
    const onPage = pageOf(last) === page;
    if (!onPage || (last + 1 < list.length && pageOf(last + 1) === page)) {
      let lo = onPage ? last : i; // on the page
      let hi = onPage ? list.length : last; // past it
      while (hi - lo > 1) {
        const mid = (lo + hi) >> 1;
        if (pageOf(mid) === page) lo = mid;
        else hi = mid;
      }
      last = lo;
    }
    for (let k = i; k <= last; ++k) list[k].page = page;
    guess = last - i + 1;
    i = last + 1;
  }
  holder.measures = list;
  return list;
}

// Answers one request of the page; every answer carries the request's id.
onmessage = async ({ data }) => {
  const { id, kind } = data;
  const answer = (message, transfer = []) => postMessage({ id, ...message }, transfer);
  const fail = (message) => answer({ type: 'failed', message });
  let engine, holders, holder;
  try {
    ({ engine, holders } = await ready);
  } catch (e) {
    fail(`The engine could not be loaded: ${e}`);
    return;
  }
  try {
    if (kind === 'open') {
      // A file: its parts and its text, loaded under the key the page gave it.
      const result = engine.scoreParts(data.bytes, data.fileName);
      if (result.status !== 0) return fail(result.error);
      holder = hold(holders, { ...data, side: 'after', text: result.xml });
      if (!holder) return fail(`${data.fileName}: the score was read but could not be drawn.`);
      answer({ type: 'opened', parts: result.parts, xml: result.xml, pages: holder.toolkit.getPageCount() });
    } else if (kind === 'apply') {
      // One run of the job on the current state's bytes; a result that changed something
      // becomes a new state, and is loaded to be drawn.
      const result = engine.runScoreJob(data.bytes, data.fileName, { ...data.options, markChanges: true });
      if (result.status !== 0) return fail(result.error);
      const { output, summary, leftAlone, changes, changed, beforeXml, afterXml, faults, checkSummary } = result;
      let pages = 0;
      if (changed > 0) {
        holder = hold(holders, { ...data, side: 'after', text: afterXml });
        if (!holder) return fail(`${data.fileName}: the result could not be drawn.`);
        pages = holder.toolkit.getPageCount();
      }
      answer({ type: 'applied', output, summary, leftAlone, changes, changed, beforeXml, afterXml, pages, faults, checkSummary }, [output.buffer]);
    } else if (kind === 'check') {
      // The voice-leading check of a state's text to draw, nothing changed. Faults found: the
      // same text with their notes named, loaded in place of the state's own to be drawn.
      const bytes = new TextEncoder().encode(data.text);
      const result = engine.runScoreJob(bytes, data.fileName, { ...data.options, checkOnly: true, markChanges: true });
      if (result.status !== 0) return fail(result.error);
      const { faults, checkText, checkSummary, afterXml } = result;
      let pages = 0;
      if (faults.length) {
        const name = `${data.key}/after`;
        for (const h of holders) if (h.name === name) h.name = null;
        holder = hold(holders, { key: data.key, side: 'after', width: data.width, text: afterXml });
        if (!holder) return fail(`${data.fileName}: the score could not be drawn.`);
        pages = holder.toolkit.getPageCount();
      }
      answer({ type: 'checked', faults, checkText, checkSummary, afterXml: faults.length ? afterXml : null, pages });
    } else if ((holder = hold(holders, data)) === 'missing') {
      answer({ type: 'missing' });
    } else if (!holder) {
      fail('This state of the score could not be drawn.');
    } else {
      answer(drawing(holder, data));
    }
  } catch (e) {
    // A stopped engine is not reused: its memory may be in any state. The page keeps the texts.
    ready = load();
    fail(`The engine stopped on this file (${e}).`);
  }
};

// The answers about the drawing of the state a holder has loaded.
function drawing(holder, data) {
  const { toolkit } = holder;
  const { kind } = data;
  if (kind === 'show') return { type: 'shown', pages: toolkit.getPageCount() };
  if (kind === 'page') return { type: 'page', page: data.page, svg: toolkit.renderToSVG(data.page) };
  if (kind === 'measures') return { type: 'measures', measures: measures(holder) };
  if (kind === 'find') return { type: 'found', page: toolkit.getPageWithElement(data.element) };
  if (kind === 'midi') return { type: 'midi', midi: toolkit.renderToMIDI() };
  if (kind === 'at') return { type: 'at', notes: toolkit.getElementsAtTime(Math.round(data.ms)).notes ?? [] };
  return { type: 'failed', message: `no such request: ${kind}` };
}

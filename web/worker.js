// The page's worker: the engine (the chord tasks and the MusicXML module, compiled to
// WebAssembly) and Verovio, which draws MusicXML as SVG and renders it as MIDI. The work runs
// here so that the page stays responsive. The texts to draw of every state of the document are
// kept here by the page's key for them; the page keeps the files.
import createEngine from './qvengine.js';
import createVerovioModule from './verovio/verovio-module.mjs';
import { VerovioToolkit } from './verovio/verovio.mjs';

function load() {
  return Promise.all([createEngine(), createVerovioModule()]).then(([engine, verovio]) => {
    const toolkit = new VerovioToolkit(verovio);
    toolkit.setOptions({
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
    });
    return { engine, toolkit };
  });
}

let ready = load();
ready.then(
  ({ engine }) => postMessage({ type: 'ready', tasks: engine.tasks() }),
  (e) => postMessage({ type: 'fatal', message: `The engine could not be loaded: ${e}` }),
);

// key -> { before, after }: the texts of each state (the loaded score has "after" only)
const texts = new Map();
let loaded = null; // "key/side" of the text Verovio holds
let measureMap = null; // of the text Verovio holds, made when first asked for

// Makes Verovio hold one side of one state; false when it cannot be drawn.
function hold(toolkit, key, side) {
  const name = `${key}/${side}`;
  if (loaded === name) return true;
  const text = texts.get(key)?.[side];
  loaded = null;
  measureMap = null;
  if (text === undefined || !toolkit.loadData(text)) return false;
  loaded = name;
  return true;
}

// Every measure in score order: its number, page, and start in quarter notes and milliseconds.
function measures(toolkit) {
  if (measureMap) return measureMap;
  measureMap = [];
  for (const e of toolkit.renderToTimemap({ includeMeasures: true, includeRests: true })) {
    if (!e.measureOn) continue;
    const { n } = toolkit.getElementAttr(e.measureOn);
    const page = toolkit.getPageWithElement(e.measureOn);
    measureMap.push({ id: e.measureOn, n: n ?? '', page, qstamp: e.qstamp, tstamp: e.tstamp });
  }
  return measureMap;
}

// Answers one request of the page; every answer carries the request's id.
onmessage = async ({ data }) => {
  const { id, kind } = data;
  const answer = (message, transfer = []) => postMessage({ id, ...message }, transfer);
  const fail = (message) => answer({ type: 'failed', message });
  let engine, toolkit;
  try {
    ({ engine, toolkit } = await ready);
  } catch (e) {
    fail(`The engine could not be loaded: ${e}`);
    return;
  }
  try {
    if (kind === 'open') {
      // A file: its parts and its text, kept under the key the page gave it.
      const result = engine.scoreParts(data.bytes, data.fileName);
      if (result.status !== 0) return fail(result.error);
      texts.set(data.key, { after: result.xml });
      if (!hold(toolkit, data.key, 'after')) {
        texts.delete(data.key);
        return fail(`${data.fileName}: the score was read but could not be drawn.`);
      }
      answer({ type: 'opened', parts: result.parts, pages: toolkit.getPageCount() });
    } else if (kind === 'apply') {
      // One run of the job on the current state's bytes; the result becomes a new state.
      const result = engine.runScoreJob(data.bytes, data.fileName, { ...data.options, markChanges: true });
      if (result.status !== 0) return fail(result.error);
      texts.set(data.key, { before: result.beforeXml, after: result.afterXml });
      hold(toolkit, data.key, 'after');
      const { output, summary, leftAlone, changes } = result;
      answer({ type: 'applied', output, summary, leftAlone, changes, pages: toolkit.getPageCount() }, [output.buffer]);
    } else if (kind === 'forget') {
      for (const key of data.keys) texts.delete(key);
      if (loaded && data.keys.includes(Number(loaded.split('/')[0]))) loaded = null;
    } else if (!hold(toolkit, data.key, data.side)) {
      fail('This state of the score could not be drawn.');
    } else if (kind === 'show') {
      answer({ type: 'shown', pages: toolkit.getPageCount() });
    } else if (kind === 'page') {
      answer({ type: 'page', page: data.page, svg: toolkit.renderToSVG(data.page) });
    } else if (kind === 'measures') {
      answer({ type: 'measures', measures: measures(toolkit) });
    } else if (kind === 'find') {
      answer({ type: 'found', page: toolkit.getPageWithElement(data.element) });
    } else if (kind === 'midi') {
      answer({ type: 'midi', midi: toolkit.renderToMIDI() });
    } else if (kind === 'at') {
      answer({ type: 'at', notes: toolkit.getElementsAtTime(Math.round(data.ms)).notes ?? [] });
    }
  } catch (e) {
    // A stopped engine is not reused: its memory may be in any state. The texts stay.
    ready = load();
    loaded = null;
    fail(`The engine stopped on this file (${e}).`);
  }
};

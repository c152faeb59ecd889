// The page's worker: the engine (the chord tasks and the MusicXML module, compiled to
// WebAssembly) and Verovio, which draws MusicXML as SVG. The work runs here so that the page
// stays responsive; each stage is reported as it starts.
import createEngine from './qvengine.js';
import createVerovioModule from './verovio/verovio-module.mjs';
import { VerovioToolkit } from './verovio/verovio.mjs';

// Pages of a long score drawn per side; the rest is left out and said so.
const MAX_PAGES = 4;

function load() {
  return Promise.all([createEngine(), createVerovioModule()]).then(([engine, verovio]) => {
    const toolkit = new VerovioToolkit(verovio);
    toolkit.setOptions({
      scale: 45,
      pageWidth: 1100,
      adjustPageHeight: true,
      footer: 'none',
      // the pitch and colour of every note, for reading the drawing back
      svgAdditionalAttribute: ['note@pname', 'note@oct', 'note@accid', 'note@color'],
    });
    return { engine, toolkit };
  });
}

let ready = load();
ready.then(
  ({ engine }) => postMessage({ type: 'ready', tasks: engine.tasks() }),
  (e) => postMessage({ type: 'fatal', message: `The engine could not be loaded: ${e}` }),
);

// The first pages of a MusicXML text as SVG, and a note when some are left out.
function draw(toolkit, xml) {
  if (!toolkit.loadData(xml)) return { pages: [], note: 'This score could not be drawn.' };
  const count = toolkit.getPageCount();
  const pages = [];
  for (let page = 1; page <= Math.min(count, MAX_PAGES); ++page) pages.push(toolkit.renderToSVG(page));
  const note = pages.length < count ? `The first ${pages.length} of ${count} pages are shown.` : '';
  return { pages, note };
}

// Answers one request of the page: { kind: 'parts' } lists the parts of a file, any other
// applies options.task to it and draws the score before and after.
onmessage = async ({ data }) => {
  const { id, kind, fileName, bytes, options } = data;
  const progress = (fraction, text) => postMessage({ type: 'progress', id, fraction, text });
  const fail = (message) => postMessage({ type: 'failed', id, message });
  let engine, toolkit, result;
  try {
    ({ engine, toolkit } = await ready);
  } catch (e) {
    fail(`The engine could not be loaded: ${e}`);
    return;
  }
  try {
    if (kind === 'parts') {
      progress(0.3, `Reading ${fileName}…`);
      result = engine.scoreParts(bytes, fileName);
    } else {
      progress(0.1, `Applying ${options.task}…`);
      result = engine.runScoreJob(bytes, fileName, { ...options, markChanges: true });
    }
  } catch (e) {
    // A stopped engine is not reused: its memory may be in any state.
    ready = load();
    fail(`The engine stopped on this file (${e}).`);
    return;
  }
  if (result.status !== 0) {
    fail(result.error);
  } else if (kind === 'parts') {
    postMessage({ type: 'parts', id, parts: result.parts });
  } else {
    progress(0.5, 'Drawing the score before…');
    const before = draw(toolkit, result.beforeXml);
    progress(0.8, 'Drawing the score after…');
    const after = draw(toolkit, result.afterXml);
    const { output, summary, leftAlone } = result;
    postMessage({ type: 'done', id, output, summary, leftAlone, before, after }, [output.buffer]);
  }
};

// The page: a document with a history of steps (history.js), a drawing to select in
// (views.js, selection.js), the lists beside it (lists.js) and playback (playback.js), all
// answered by the engine in its worker (engine.js). This file ties them to the controls: one
// piece of work at a time, Cancel, Apply, Undo and Redo, opening and downloading. It knows no
// task and no file rule; the engine answers everything about the score.
import { $, progress, showError, showNotice } from './ui.js';
import { Engine } from './engine.js';
import { forPage } from './messages.js';
import { addStep, current, downloadName, keepCheck, newKey, openDocument, session, slug, stepLabel, textOf, whereLabel } from './history.js';
import { drawAgain, forgetDrawings, initViews, pageDrawn, scrollToMeasure, scrollViewTo, setZoom, showView, switchSide, trimDrawings, view, visibleMeasure, width } from './views.js';
import { drawSelection, initSelection, resetSelection } from './selection.js';
import { chosenParts, showParts, updateLists } from './lists.js';
import { initPlayback, stopPlaying } from './playback.js';

// The largest file the page accepts; the engine holds the file, its document and the result.
const LIMIT_MB = 20;
// The example score shipped with the project, served beside the page.
const EXAMPLE = 'chorale.musicxml';

const engine = new Engine({ textOf, onFatal: (message) => showError(message) });
let tasks = []; // the engine's catalogue, in the tool window's order
let busy = null; // the piece of work running: { cancelled }

// Runs one piece of work at a time; the controls stay where they are (and keep the focus)
// while it runs, and a second request meanwhile is ignored. Cancel ends it: the worker is
// ended and started again, and the document stays as it was before the work began.
async function work(text, job, cancelledSays = 'Cancelled.') {
  if (busy) return;
  const running = { cancelledSays };
  busy = running;
  $('job').setAttribute('aria-busy', 'true');
  progress(text);
  try {
    await job();
  } catch (e) {
    if (e.name === 'Cancelled') showNotice(running.cancelledSays);
    else showError(forPage(e.message));
  } finally {
    busy = null;
    $('job').removeAttribute('aria-busy');
    progress('');
    update();
  }
}

function cancel() {
  if (!busy) return;
  stopPlaying();
  engine.cancel();
  drawAgain();
}

// Buttons, the switch, the step's summary and the lists, from the document.
function update() {
  const { doc } = session;
  const state = current();
  $('apply').disabled = !doc || !tasks.length;
  $('check').disabled = !doc;
  $('undo').disabled = !doc || doc.at === 0;
  $('redo').disabled = !doc || doc.at === doc.states.length - 1;
  $('download').disabled = !state?.slug; // a step was made
  $('play').disabled = !doc;
  $('side-before').disabled = !state?.slug;
  $('summary').textContent = state?.summary ?? '';
  $('left-alone').textContent = state?.leftAlone ?? '';
  updateLists();
}

// ---- finding a changed chord or a fault ------------------------------------------------------

// What is shown, picked from a list: { list: 'changes' or 'faults', k: its index there }.
let picked = null;

// The drawn notes of what is picked: a changed chord's by their common name, a fault's by the
// names the check gave its notes.
function pickedNotes() {
  if (!picked) return [];
  if (picked.list === 'changes') return Array.from($('view').querySelectorAll(`[id^="qv-change-${picked.k}-"]`));
  const ids = current()?.check?.faults[picked.k]?.ids ?? [];
  return ids.map((id) => document.getElementById(id)).filter((n) => n && $('view').contains(n));
}

function markPicked() {
  $('view').querySelectorAll('.picked').forEach((n) => n.classList.remove('picked'));
  if (view.shown !== 'after') return;
  pickedNotes().forEach((n) => n.classList.add('picked'));
}

// Shows an entry of a list in the score, highlighted; element: the id of a note of it to find.
async function showPicked(list, k, element) {
  picked = { list, k };
  if (view.shown !== 'after') await switchSide('after');
  const { page } = await engine.ask('find', { key: view.key, side: view.side, width: width(), element });
  const place = await pageDrawn(page);
  markPicked();
  const target = document.getElementById(element) ?? place;
  if (target) scrollViewTo(target, true);
  for (const name of ['changes', 'faults']) {
    $(name).querySelectorAll('button').forEach((b) => b.setAttribute('aria-pressed', String(name === list && Number(b.dataset[name === 'changes' ? 'change' : 'fault']) === k)));
  }
}

const showChange = (k) => showPicked('changes', k, `qv-change-${k}-0`);

// A fault is found by the note it arrives on (the lower of its two voices).
function showFault(k) {
  const ids = current()?.check?.faults[k]?.ids ?? [];
  return ids.length ? showPicked('faults', k, ids[ids.length - 2] ?? ids[0]) : undefined;
}

// ---- the document and its steps ------------------------------------------------------------------

function selectedTask() {
  return tasks[$('task').selectedIndex];
}

function showTask() {
  const task = selectedTask();
  if (!task) return;
  $('description').textContent = task.description;
  $('direction').hidden = !task.hasDirection;
  $('top-label').textContent = task.top;
  $('bottom-label').textContent = task.bottom;
  // the voicings come with the task from the engine (Realize Chord Symbols' only)
  const voicings = task.voicings ?? [];
  $('voicing-box').hidden = !voicings.length;
  if (voicings.length && $('voicing').options.length !== voicings.length)
    $('voicing').replaceChildren(...voicings.map((v) => new Option(v.label, v.name)));
}

// Reads a file into a new document; a file that is not a score leaves the loaded one as it was.
async function open(name, bytes) {
  const key = newKey();
  const before = session.doc;
  let opened;
  try {
    opened = await engine.ask('open', { key, fileName: name, bytes: bytes.slice(), width: width() });
  } catch (e) {
    if (e.name === 'Cancelled' || !before) throw e;
    throw new Error(`${forPage(e.message)} The score ${before.name} is still loaded.`);
  }
  if (before) forgetDrawings(before.states);
  stopPlaying();
  openDocument(name, bytes, key, opened);
  resetSelection();
  picked = null;
  showParts(opened.parts);
  $('side-after').checked = true;
  $('loaded').textContent = `Loaded ${name} (${Math.ceil(bytes.length / 1024)} KB).`;
  update();
  await showView(key, 'after', opened.pages);
}

async function apply() {
  const task = selectedTask();
  const { doc } = session;
  if (!doc || !task) return;
  const parts = chosenParts();
  if (parts === null) throw new Error('Choose at least one part.');
  const bottom = task.hasDirection && $('bottom').checked;
  const measures = $('measures').value.trim();
  const checking = $('check-after').checked;
  const state = current();
  const key = newKey();
  const label = stepLabel(doc, task, bottom, measures, parts);
  busy.cancelledSays = `Cancelled: ${label} was not applied. The score is as it was before.`;
  progress(`Applying ${task.name}…`);
  const result = await engine.ask('apply', {
    key,
    fileName: doc.name,
    bytes: state.bytes, // copied to the worker: the state keeps its own
    width: width(),
    options: {
      task: task.name, bottom, fourNoteDrops: $('four-note').checked, spellInKey: $('spell-in-key').checked, strict: $('strict').checked, measures, parts, check: checking,
      voicing: $('voicing').value, leading: $('leading').checked, topRange: $('top-range').value.trim(),
    },
  });
  if (session.doc !== doc) return;
  if (!result.changed) {
    // as the host does: nothing changed, no step to undo and nothing new to download
    const alone = result.leftAlone ? ` ${forPage(result.leftAlone)}` : '';
    showNotice(`${label}: no chord was changed, so no step was added.${alone}`);
    if (checking) await check(); // the score as it stands is what was asked to be checked
    return;
  }
  const dropped = addStep(doc, {
    key,
    bytes: result.output,
    texts: { before: result.beforeXml, after: result.afterXml },
    label,
    slug: slug(task, bottom),
    summary: result.summary,
    leftAlone: result.leftAlone,
    changes: result.changes,
  });
  if (checking) keepCheck(doc, doc.states[doc.at], result, whereLabel(doc, measures, parts));
  forgetDrawings(dropped);
  trimDrawings();
  await goTo(doc.states.length - 1, result.pages);
}

// The voice-leading check of the current state over the selection in Where; it changes nothing
// and makes no step. The faults' notes are named in the state's text to draw, drawn again.
async function check() {
  const { doc } = session;
  if (!doc) return;
  const parts = chosenParts();
  if (parts === null) throw new Error('Choose at least one part.');
  const measures = $('measures').value.trim();
  const state = current();
  busy.cancelledSays = 'Cancelled: the voice leading was not checked. The score is as it was.';
  progress('Checking the voice leading…');
  const result = await engine.ask('check', { key: state.key, fileName: doc.name, text: state.texts.after, width: width(), options: { measures, parts } });
  if (session.doc !== doc || current() !== state) return;
  keepCheck(doc, state, result, whereLabel(doc, measures, parts));
  picked = null;
  if (!result.afterXml) {
    update();
    return;
  }
  const m = visibleMeasure();
  forgetDrawings([state]);
  state.texts.after = result.afterXml;
  trimDrawings();
  update();
  $('side-after').checked = true;
  await showView(state.key, 'after', result.pages);
  await scrollToMeasure(m);
}

// Makes a state the current one and shows it with its step's changes; no job runs.
async function goTo(at, pages) {
  const m = visibleMeasure();
  showNotice(''); // what was said about another step
  session.doc.at = at;
  picked = null;
  stopPlaying();
  update();
  $('side-after').checked = true;
  await showView(current().key, 'after', pages);
  await scrollToMeasure(m);
}

const undo = () => session.doc?.at > 0 && work('Drawing…', () => goTo(session.doc.at - 1));
const redo = () => session.doc && session.doc.at < session.doc.states.length - 1 && work('Drawing…', () => goTo(session.doc.at + 1));

function download() {
  const state = current();
  if (!state?.slug) return;
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([state.bytes], { type: 'application/octet-stream' }));
  link.download = downloadName(session.doc);
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

// ---- the controls ------------------------------------------------------------------------------------

function clearMessages() {
  showError('');
  showNotice('');
}

$('undo').addEventListener('click', undo);
$('redo').addEventListener('click', redo);
$('history').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-step]');
  if (button && Number(button.dataset.step) !== session.doc.at) work('Drawing…', () => goTo(Number(button.dataset.step)));
});
$('changes').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-change]');
  if (button) work('', () => showChange(Number(button.dataset.change)));
});
$('faults').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-fault]');
  if (button) work('', () => showFault(Number(button.dataset.fault)));
});
document.addEventListener('keydown', (event) => {
  if (event.key === 'Escape' && busy) {
    event.preventDefault();
    cancel();
    return;
  }
  if (!(event.ctrlKey || event.metaKey) || event.altKey) return;
  const typing = event.target.matches?.('input[type="text"]');
  const key = event.key.toLowerCase();
  if (typing || (key !== 'z' && key !== 'y')) return; // a text box keeps its own undo
  event.preventDefault();
  if (key === 'y' || event.shiftKey) redo();
  else undo();
});

$('limit').textContent = `${LIMIT_MB} MB`;

$('file').addEventListener('change', async () => {
  const file = $('file').files[0];
  if (!file) return;
  $('file').value = ''; // choosing the same file again reads it again
  const still = session.doc ? ` The score ${session.doc.name} is still loaded.` : '';
  clearMessages();
  if (file.size > LIMIT_MB * 1024 * 1024) {
    showError(`${file.name} is ${(file.size / 1048576).toFixed(1)} MB; this page takes files up to ${LIMIT_MB} MB.${still}`);
  } else if (file.size === 0) {
    showError(`${file.name} is empty: there is no score in it.${still}`);
  } else {
    const bytes = new Uint8Array(await file.arrayBuffer());
    await work(`Reading ${file.name}…`, () => open(file.name, bytes), `Cancelled: ${file.name} was not opened.${still}`);
  }
  if (!session.doc) $('loaded').textContent = 'No score loaded.';
});

$('example').addEventListener('click', () => {
  clearMessages();
  work('Reading the example…', async () => {
    const response = await fetch(EXAMPLE);
    if (!response.ok) throw new Error('The example score could not be loaded.');
    await open(EXAMPLE, new Uint8Array(await response.arrayBuffer()));
  });
});

$('task').addEventListener('change', showTask);

$('check').addEventListener('click', () => {
  clearMessages();
  work('Checking…', check);
});
// Checking after each Apply is remembered for the next visit, as the zoom is.
$('check-after').checked = globalThis.localStorage?.getItem('qv-check-after') === 'yes';
$('check-after').addEventListener('change', () => {
  try {
    localStorage.setItem('qv-check-after', $('check-after').checked ? 'yes' : 'no');
  } catch {
    // storage refused (a private window): the choice holds for this visit
  }
});

$('job').addEventListener('submit', (event) => {
  event.preventDefault();
  clearMessages();
  work('Applying…', apply);
});
$('cancel').addEventListener('click', cancel);
$('download').addEventListener('click', download);
$('zoom').addEventListener('change', () => {
  clearMessages();
  work('Drawing…', () => setZoom(Number($('zoom').value)));
});
document.querySelectorAll('input[name="side"]').forEach((radio) =>
  radio.addEventListener('change', () => work('Drawing…', () => {
    stopPlaying();
    return switchSide(radio.value);
  })));

// ---- start -------------------------------------------------------------------------------------------

initViews(engine, {
  onDrawn: (place) => {
    drawSelection(place);
    markPicked();
  },
});
initSelection();
initPlayback(engine);

engine.tasks.then((list) => {
  tasks = list;
  $('task').replaceChildren(...tasks.map((t) => new Option(t.name)));
  $('task').selectedIndex = 0;
  showTask();
  update();
});

// Kept for working offline: the page's own files, by its service worker, for the page's own
// folder only.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('offline.js', { scope: './' }).catch(() => {});

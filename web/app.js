// The page: a document with a history of steps, a drawing to select in, the chords a step
// changed, and playback. It knows no task and no file rule; the engine (in the worker) answers
// everything about the score, and the job runs once per Apply on the current state.
import { Player } from './player.js';

// The largest file the page accepts; the engine holds the file, its document and the result.
const LIMIT_MB = 20;
// The example score shipped with the project, served beside the page.
const EXAMPLE = 'chorale.musicxml';
// What the states of the document may hold at most (their files and drawings' texts).
const HISTORY_BUDGET = globalThis.qvHistoryBudget ?? 400 * 1024 * 1024; // the tests set a small one
// How far beyond the visible part of the score pages are drawn ahead.
const AHEAD = '1200px';
const $ = (id) => document.getElementById(id);

const worker = new Worker('worker.js', { type: 'module' });
let tasks = []; // the engine's catalogue, in the tool window's order
// The document: its file and its states; states[0] is the file as loaded, each later one the
// result of one step. Each state: { key, bytes, label, slug, summary, leftAlone, changes }.
let doc = null;
let busy = false;
let nextKey = 1; // names the texts the worker keeps for a state
let selection = null; // { m0, m1, parts: [bool] } by measure index; null: the whole score
let anchor = null; // where a shift-click or a drag extends from: { m, part }
const view = { key: 0, side: 'after', pages: 0, measures: null, generation: 0 };

// ---- talking to the worker ----------------------------------------------------------------

let requestId = 0;
const waiting = new Map();
// Sends a request to the worker; answers its reply, or throws its message.
function ask(kind, message = {}, transfer = []) {
  const id = ++requestId;
  worker.postMessage({ id, kind, ...message }, transfer);
  return new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
}

let readyTasks;
const ready = new Promise((resolve) => { readyTasks = resolve; });
worker.onmessage = ({ data }) => {
  if (data.type === 'ready') return readyTasks(data.tasks);
  if (data.type === 'fatal') return showError(data.message);
  const w = waiting.get(data.id);
  if (!w) return;
  waiting.delete(data.id);
  if (data.type === 'failed') w.reject(new Error(data.message));
  else w.resolve(data);
};

// ---- what the page shows --------------------------------------------------------------------

function showError(message) {
  $('error').textContent = message;
}

function progress(text) {
  $('progress').hidden = !text;
  $('progress-text').textContent = text || '';
}

// Runs one piece of work at a time; the controls stay where they are (and keep the focus)
// while it runs, and a second request meanwhile is ignored.
async function work(text, job) {
  if (busy) return;
  busy = true;
  $('job').setAttribute('aria-busy', 'true');
  progress(text);
  try {
    await job();
  } catch (e) {
    showError(e.message);
  } finally {
    busy = false;
    $('job').removeAttribute('aria-busy');
    progress('');
    update();
  }
}

const current = () => doc && doc.states[doc.at];
let shownLists = ''; // the document and step the history and the changed chords show

// Buttons, the switch, the history and the step's summary, from the document.
function update() {
  const state = current();
  $('apply').disabled = !doc || !tasks.length;
  $('undo').disabled = !doc || doc.at === 0;
  $('redo').disabled = !doc || doc.at === doc.states.length - 1;
  $('download').disabled = !state?.slug; // a step was made
  $('play').disabled = !doc;
  $('side-before').disabled = !state?.slug;
  $('summary').textContent = state?.summary ?? '';
  $('left-alone').textContent = state?.leftAlone ?? '';
  // The lists are made again only when the document or its step changed, so that a button
  // chosen in them keeps the focus.
  const listed = doc ? `${doc.states[0].key}:${doc.at}:${doc.states.length}` : '';
  if (listed === shownLists) return;
  shownLists = listed;
  const inHistory = $('history').contains(document.activeElement);
  $('history').replaceChildren(
    ...(doc ? doc.states : []).map((s, i) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = s.label;
      button.dataset.step = i;
      if (i === doc.at) button.setAttribute('aria-current', 'step');
      if (i > doc.at) item.className = 'undone';
      item.append(button);
      return item;
    }),
  );
  if (doc?.forgotten.length) {
    const item = document.createElement('li');
    item.className = 'note';
    const n = doc.forgotten.length;
    item.textContent = `${n} earlier ${n === 1 ? 'step' : 'steps'} of ${doc.name} can no longer be undone (memory).`;
    $('history').prepend(item);
  }
  showChanges(state);
  if (inHistory) $('history').querySelector('[aria-current]')?.focus();
}

// The chords the current step changed, as --dry-run names them; each one a button that shows it.
function showChanges(state) {
  const changes = state?.changes ?? [];
  $('changes-box').hidden = !state?.slug;
  $('changes').replaceChildren(
    ...changes.map((c, k) => {
      const item = document.createElement('li');
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.change = k;
      const part = c.partName || c.part;
      button.textContent = `${part}, staff ${c.staff}, measure ${c.measure}, beat ${+c.beat.toFixed(2)}, voice ${c.voice}: ${c.before} → ${c.after}`;
      item.append(button);
      return item;
    }),
  );
  if (state?.slug && !changes.length) {
    const item = document.createElement('li');
    item.textContent = 'No chord was changed.';
    $('changes').append(item);
  }
}

// ---- the drawing: every page, drawn as it comes near the visible part ---------------------

const observer = new IntersectionObserver(
  (entries) => entries.forEach((e) => e.isIntersecting && drawPage(e.target)),
  { root: document.getElementById('view'), rootMargin: AHEAD },
);

// Shows one side of one state: a place for each page, each drawn when it is scrolled to.
async function showView(key, side, pages) {
  view.generation += 1;
  Object.assign(view, { key, side, pages, measures: null });
  observer.disconnect();
  const height = $('view').querySelector('.page')?.offsetHeight || 900;
  const places = [];
  for (let p = 1; p <= pages; ++p) {
    const place = document.createElement('div');
    place.className = 'page';
    place.dataset.page = p;
    place.style.minHeight = `${height}px`;
    places.push(place);
  }
  $('view').replaceChildren(...places);
  const caption = side === 'before' ? 'Before the step' : current().slug ? 'Now (changed notes in red)' : 'As loaded';
  $('view-caption').textContent = `${caption}: ${pages} ${pages === 1 ? 'page' : 'pages'}`;
  // The measures and their pages are found once per score: a step changes notes, not measures,
  // and finding them costs Verovio more than drawing a page.
  view.measures = doc.measures;
  await drawPage(places[0]);
  places.forEach((place) => observer.observe(place));
  if (!doc.measures) {
    const asked = doc;
    const { measures } = await ask('measures', { key, side });
    asked.measures = measures;
    if (doc === asked) view.measures = measures;
  }
  drawSelection();
}

// Draws one page into its place, once.
async function drawPage(place) {
  if (!place || place.dataset.drawn) return;
  place.dataset.drawn = 'pending';
  const generation = view.generation;
  let svg;
  try {
    ({ svg } = await ask('page', { key: view.key, side: view.side, page: Number(place.dataset.page) }));
  } catch (e) {
    if (generation === view.generation) place.textContent = `Page ${place.dataset.page} could not be drawn: ${e.message}`;
    return;
  }
  if (generation !== view.generation) return;
  const drawing = document.importNode(new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement, true);
  place.replaceChildren(drawing);
  place.style.minHeight = '';
  place.dataset.drawn = 'yes';
  drawSelection(place);
  markPicked();
}

async function pageDrawn(p) {
  const place = $('view').querySelector(`.page[data-page="${p}"]`);
  if (place && place.dataset.drawn !== 'yes') {
    place.dataset.drawn = '';
    await drawPage(place);
  }
  return place;
}

// The measure index (in score order) of each measure element of a drawn page.
function measuresOf(place) {
  const p = Number(place.dataset.page);
  const first = view.measures ? view.measures.findIndex((m) => m.page === p) : -1;
  return Array.from(place.querySelectorAll('g.measure')).map((g, i) => ({ g, m: first < 0 ? -1 : first + i }));
}

// The part of a score staff (Verovio numbers staves through the score from 1).
function partOfStaff(staff) {
  let last = 0;
  for (let i = 0; i < doc.parts.length; ++i) {
    last += doc.parts[i].staves;
    if (staff <= last) return i;
  }
  return doc.parts.length - 1;
}

// The box of a staff's five lines in the page's place, from the drawing.
function staffBox(staff, placeBox) {
  const lines = Array.from(staff.children).filter((c) => c.tagName === 'path');
  if (!lines.length) return null;
  const a = lines[0].getBoundingClientRect();
  const b = lines[lines.length - 1].getBoundingClientRect();
  return { left: a.left - placeBox.left, right: a.right - placeBox.left, top: a.top - placeBox.top, bottom: b.bottom - placeBox.top };
}

// The selection drawn over the notation: one box per measure over the staves of its parts.
function drawSelection(only) {
  const places = only ? [only] : Array.from($('view').querySelectorAll('.page[data-drawn="yes"]'));
  for (const place of places) {
    place.querySelectorAll('.selected').forEach((s) => s.remove());
    if (!selection || !doc) continue;
    const placeBox = place.getBoundingClientRect();
    for (const { g, m } of measuresOf(place)) {
      if (m < selection.m0 || m > selection.m1) continue;
      let box = null;
      for (const staff of g.querySelectorAll(':scope > g.staff')) {
        if (!selection.parts[partOfStaff(Number(staff.dataset.n))]) continue;
        const b = staffBox(staff, placeBox);
        if (!b) continue;
        box = box ? { left: Math.min(box.left, b.left), right: Math.max(box.right, b.right), top: Math.min(box.top, b.top), bottom: Math.max(box.bottom, b.bottom) } : b;
      }
      if (!box) continue;
      const mark = document.createElement('div');
      mark.className = 'selected';
      Object.assign(mark.style, { left: `${box.left}px`, top: `${box.top - 6}px`, width: `${box.right - box.left}px`, height: `${box.bottom - box.top + 12}px` });
      place.append(mark);
    }
  }
}

// The measure and part under a point of the drawing, or null.
function hit(event) {
  const place = event.target.closest?.('.page');
  if (!place || place.dataset.drawn !== 'yes' || !view.measures) return null;
  const placeBox = place.getBoundingClientRect();
  const x = event.clientX - placeBox.left;
  const y = event.clientY - placeBox.top;
  let best = null;
  for (const { g, m } of measuresOf(place)) {
    for (const staff of g.querySelectorAll(':scope > g.staff')) {
      const b = staffBox(staff, placeBox);
      if (!b || x < b.left || x > b.right) continue;
      const height = b.bottom - b.top;
      const distance = Math.max(0, b.top - y, y - b.bottom);
      if (distance <= height && (!best || distance < best.distance)) best = { m, part: partOfStaff(Number(staff.dataset.n)), distance };
    }
  }
  return best && best.m >= 0 ? { m: best.m, part: best.part } : null;
}

// Selects from the anchor to a measure and part: the measures between, the parts between.
function extendTo(to) {
  const from = anchor ?? to;
  const parts = doc.parts.map((_, i) => i >= Math.min(from.part, to.part) && i <= Math.max(from.part, to.part));
  setSelection({ m0: Math.min(from.m, to.m), m1: Math.max(from.m, to.m), parts });
}

// Sets the selection and keeps the typed range and the part boxes in step with it.
function setSelection(s) {
  selection = s;
  const names = view.measures?.map((m) => m.n) ?? [];
  if (!s) {
    $('measures').value = '';
    $('parts').querySelectorAll('input').forEach((b) => { b.checked = true; });
  } else {
    const a = names[s.m0];
    const b = names[s.m1];
    $('measures').value = s.m0 === 0 && s.m1 === names.length - 1 ? '' : a === b ? a : `${a}-${b}`;
    $('parts').querySelectorAll('input').forEach((box, i) => { box.checked = s.parts[i]; });
  }
  drawSelection();
}

// The selection from the typed range and the part boxes; a range the score lacks selects nothing.
function selectionFromFields() {
  if (!doc || !view.measures) return;
  const names = view.measures.map((m) => m.n);
  const parts = Array.from($('parts').querySelectorAll('input')).map((b) => b.checked);
  const text = $('measures').value.trim();
  let m0 = 0;
  let m1 = names.length - 1;
  if (text) {
    const dash = text.indexOf('-', 1);
    const a = dash < 0 ? text : text.slice(0, dash).trim();
    const b = dash < 0 ? text : text.slice(dash + 1).trim();
    m0 = names.indexOf(a);
    m1 = names.lastIndexOf(b);
  }
  selection = !text && parts.every(Boolean) ? null : m0 < 0 || m1 < m0 ? null : { m0, m1, parts };
  drawSelection();
}

$('view').addEventListener('pointerdown', (event) => {
  if (!doc || event.button !== 0) return;
  const at = hit(event);
  event.preventDefault(); // no text selection in the drawing
  $('view').focus({ preventScroll: true });
  if (!at) {
    anchor = null;
    setSelection(null);
    return;
  }
  if (!event.shiftKey || !anchor) anchor = at;
  extendTo(at);
  const move = (e) => {
    const to = hit(e);
    if (to) extendTo(to);
  };
  const up = () => {
    $('view').removeEventListener('pointermove', move);
    window.removeEventListener('pointerup', up);
  };
  $('view').addEventListener('pointermove', move);
  window.addEventListener('pointerup', up);
});
// The drawing scales with the window; the selection drawn over it is placed again.
new ResizeObserver(() => drawSelection()).observe($('view'));
$('measures').addEventListener('input', selectionFromFields);
$('parts').addEventListener('change', selectionFromFields);
$('clear-selection').addEventListener('click', () => {
  anchor = null;
  setSelection(null);
});

// ---- finding a changed chord ----------------------------------------------------------------

let picked = null; // the index of the changed chord shown, in the current step's list

function markPicked() {
  $('view').querySelectorAll('.picked').forEach((n) => n.classList.remove('picked'));
  if (picked === null || view.side !== 'after') return;
  $('view').querySelectorAll(`[id^="qv-change-${picked}-"]`).forEach((n) => n.classList.add('picked'));
}

async function showChange(k) {
  picked = k;
  if (view.side !== 'after') await switchSide('after');
  const { page } = await ask('find', { key: view.key, side: view.side, element: `qv-change-${k}-0` });
  const place = await pageDrawn(page);
  markPicked();
  const target = document.getElementById(`qv-change-${k}-0`) ?? place;
  if (target) scrollViewTo(target, true);
  $('changes').querySelectorAll('button').forEach((b) => b.setAttribute('aria-pressed', String(Number(b.dataset.change) === k)));
}

$('changes').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-change]');
  if (button) work('', () => showChange(Number(button.dataset.change)));
});

// ---- before and after ------------------------------------------------------------------------

// The measure at the top of what is visible, to keep in view when the drawing changes.
function visibleMeasure() {
  const top = $('view').getBoundingClientRect().top;
  for (const place of $('view').querySelectorAll('.page[data-drawn="yes"]')) {
    for (const { g, m } of measuresOf(place)) {
      if (g.getBoundingClientRect().bottom > Math.max(top, 0)) return m;
    }
  }
  return -1;
}

// Scrolls the drawing (and only the drawing) so that an element of it is in view: at the top,
// or in the middle.
function scrollViewTo(element, middle = false) {
  const box = $('view').getBoundingClientRect();
  const at = element.getBoundingClientRect();
  const offset = middle ? (box.height - at.height) / 2 : 8;
  $('view').scrollTop += at.top - box.top - offset;
}

async function scrollToMeasure(m) {
  if (m < 0 || !view.measures?.[m]) return;
  const place = await pageDrawn(view.measures[m].page);
  const g = measuresOf(place).find((x) => x.m === m)?.g;
  scrollViewTo(g ?? place);
}

async function switchSide(side) {
  stopPlaying();
  const m = visibleMeasure();
  const { pages } = await ask('show', { key: current().key, side });
  await showView(current().key, side, pages);
  $(`side-${side}`).checked = true;
  await scrollToMeasure(m);
}

document.querySelectorAll('input[name="side"]').forEach((radio) =>
  radio.addEventListener('change', () => work('Drawing…', () => switchSide(radio.value))));

// ---- the document and its steps ------------------------------------------------------------

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
}

// One check box a part, all on: the task applies to the parts left on.
function showParts(parts) {
  $('parts').replaceChildren(
    ...parts.map((part) => {
      const label = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = true;
      box.value = part.id;
      label.append(box, ` ${part.name || part.id} (${part.id})`);
      return label;
    }),
  );
}

// The --parts value: empty when every part is chosen, null when none is.
function chosenParts() {
  const boxes = Array.from($('parts').querySelectorAll('input'));
  const on = boxes.filter((b) => b.checked).map((b) => b.value);
  return on.length === boxes.length ? '' : on.length ? on.join(',') : null;
}

// "Drop 2nd, measures 5-12, Piano": the step as the history lists it.
function stepLabel(task, bottom, measures, parts) {
  const name = task.hasDirection ? `${task.name} ${bottom ? task.bottom : task.top}` : task.name;
  const where = !measures ? 'all measures' : measures.includes('-') ? `measures ${measures}` : `measure ${measures}`;
  const who = !parts ? 'all parts' : parts.split(',').map((id) => doc.parts.find((p) => p.id === id)?.name || id).join(', ');
  return `${name}, ${where}, ${who}`;
}

// "song.mxl" after Rotate Down gives "song-rotate-down.mxl": the steps in the name, the same
// container as the input; a long history is cut short.
function downloadName() {
  const { name } = doc;
  const dot = name.lastIndexOf('.');
  const base = dot > 0 ? name.slice(0, dot) : name;
  const extension = dot > 0 ? name.slice(dot) : '.musicxml';
  const slugs = [...doc.forgotten, ...doc.states.slice(0, doc.at + 1).map((s) => s.slug).filter(Boolean)];
  const shown = slugs.length > 3 ? [...slugs.slice(0, 3), `and-${slugs.length - 3}-more`] : slugs;
  return `${[base, ...shown].join('-')}${extension}`;
}

function slug(task, bottom) {
  const words = task.hasDirection ? `${task.name} ${bottom ? task.bottom : task.top}` : task.name;
  return words.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
}

// Drops the texts the worker keeps for states no longer reachable.
function forget(states) {
  if (states.length) ask('forget', { keys: states.map((s) => s.key) });
}

// Reads a file into a new document; a file that is not a score leaves the loaded one as it was.
async function open(name, bytes) {
  const key = nextKey++;
  let opened;
  try {
    opened = await ask('open', { key, fileName: name, bytes: bytes.slice() });
  } catch (e) {
    throw new Error(doc ? `${e.message} The score ${doc.name} is still loaded.` : e.message);
  }
  if (doc) forget(doc.states);
  stopPlaying();
  doc = { name, parts: opened.parts, at: 0, forgotten: [], states: [{ key, bytes, label: `Opened ${name}`, slug: '', changes: [] }] };
  selection = null;
  anchor = null;
  picked = null;
  $('measures').value = ''; // a new score: nothing selected
  showParts(opened.parts);
  $('side-after').checked = true;
  $('loaded').textContent = `Loaded ${name} (${Math.ceil(bytes.length / 1024)} KB).`;
  update();
  await showView(key, 'after', opened.pages);
}

async function apply() {
  const task = selectedTask();
  if (!doc || !task) return;
  const parts = chosenParts();
  if (parts === null) throw new Error('Choose at least one part.');
  const bottom = task.hasDirection && $('bottom').checked;
  const measures = $('measures').value.trim();
  const state = current();
  const key = nextKey++;
  progress(`Applying ${task.name}…`);
  const result = await ask('apply', {
    key,
    fileName: doc.name,
    bytes: state.bytes, // copied to the worker: the state keeps its own
    options: { task: task.name, bottom, fourNoteDrops: $('four-note').checked, spellInKey: $('spell-in-key').checked, measures, parts },
  });
  forget(doc.states.splice(doc.at + 1)); // a new step ends the steps undone
  doc.states.push({
    key,
    bytes: result.output,
    label: stepLabel(task, bottom, measures, parts),
    slug: slug(task, bottom),
    summary: result.summary,
    leftAlone: result.leftAlone,
    changes: result.changes,
  });
  keepWithinBudget();
  await goTo(doc.states.length - 1, result.pages);
}

// Each state costs its file here and its two drawings' texts in the worker; past the budget
// the oldest states go, as a host's undo list forgets its oldest steps, rather than the
// browser running out of memory on a long session with a large score.
function keepWithinBudget() {
  const cost = (s) => s.bytes.length * 3;
  let total = doc.states.reduce((sum, s) => sum + cost(s), 0);
  while (total > HISTORY_BUDGET && doc.states.length > 2) {
    const [oldest] = doc.states.splice(0, 1);
    total -= cost(oldest);
    if (oldest.slug) doc.forgotten.push(oldest.slug);
    forget([oldest]);
  }
  doc.at = doc.states.length - 1;
}

// Makes a state the current one and shows it with its step's changes; no job runs.
async function goTo(at, pages) {
  const m = visibleMeasure();
  doc.at = at;
  picked = null;
  stopPlaying();
  update();
  $('side-after').checked = true;
  const count = pages ?? (await ask('show', { key: current().key, side: 'after' })).pages;
  await showView(current().key, 'after', count);
  await scrollToMeasure(m);
}

const undo = () => doc && doc.at > 0 && work('Drawing…', () => goTo(doc.at - 1));
const redo = () => doc && doc.at < doc.states.length - 1 && work('Drawing…', () => goTo(doc.at + 1));

$('undo').addEventListener('click', undo);
$('redo').addEventListener('click', redo);
$('history').addEventListener('click', (event) => {
  const button = event.target.closest('button[data-step]');
  if (button && Number(button.dataset.step) !== doc.at) work('Drawing…', () => goTo(Number(button.dataset.step)));
});
document.addEventListener('keydown', (event) => {
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
  const still = doc ? ` The score ${doc.name} is still loaded.` : '';
  showError('');
  if (file.size > LIMIT_MB * 1024 * 1024) {
    showError(`${file.name} is ${(file.size / 1048576).toFixed(1)} MB; this page takes files up to ${LIMIT_MB} MB.${still}`);
  } else if (file.size === 0) {
    showError(`${file.name} is empty: there is no score in it.${still}`);
  } else {
    const bytes = new Uint8Array(await file.arrayBuffer());
    await work(`Reading ${file.name}…`, () => open(file.name, bytes));
  }
  if (!doc) $('loaded').textContent = 'No score loaded.';
});

$('example').addEventListener('click', () => {
  showError('');
  work('Reading the example…', async () => {
    const response = await fetch(EXAMPLE);
    if (!response.ok) throw new Error('The example score could not be loaded.');
    await open(EXAMPLE, new Uint8Array(await response.arrayBuffer()));
  });
});

$('task').addEventListener('change', showTask);

$('job').addEventListener('submit', (event) => {
  event.preventDefault();
  showError('');
  work('Applying…', apply);
});

$('download').addEventListener('click', () => {
  const state = current();
  if (!state?.slug) return;
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([state.bytes], { type: 'application/octet-stream' }));
  link.download = downloadName();
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
});

// ---- listening -------------------------------------------------------------------------------

const player = new Player({
  ask: (kind, message) => ask(kind, { key: view.key, side: view.side, ...message }),
  level: $('level'),
  onNotes: (ids) => {
    $('view').querySelectorAll('.playing').forEach((n) => n.classList.remove('playing'));
    for (const id of ids) document.getElementById(id)?.classList.add('playing');
    // the view follows the music when it plays past what is visible
    const first = $('view').querySelector('.playing');
    const box = $('view').getBoundingClientRect();
    const at = first?.getBoundingClientRect();
    if (at && (at.top < box.top || at.bottom > box.bottom)) scrollViewTo(first, true);
  },
  onEnd: () => {
    $('play').hidden = false;
    $('stop').hidden = true;
    $('level').hidden = true;
    if (document.activeElement === $('stop') || document.activeElement === document.body) $('play').focus();
  },
});

function stopPlaying() {
  player.stop();
}

$('play').addEventListener('click', () => {
  if (!doc) return;
  showError('');
  const measures = view.measures ?? [];
  const from = selection ? selection.m0 : 0;
  const to = selection ? selection.m1 : measures.length - 1;
  $('play').hidden = true;
  $('stop').hidden = false;
  $('level').hidden = false;
  $('stop').focus();
  player.play(measures, from, to).catch((e) => {
    showError(`The score cannot be played: ${e.message}`);
    player.stop();
  });
});
$('stop').addEventListener('click', stopPlaying);

// ---- start -------------------------------------------------------------------------------------

ready.then((list) => {
  tasks = list;
  $('task').replaceChildren(...tasks.map((t) => new Option(t.name)));
  $('task').selectedIndex = 0;
  showTask();
  update();
});

// Kept for working offline: the page's own files, by its service worker.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('offline.js').catch(() => {});

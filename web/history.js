// The document: its file and its states. states[0] is the file as loaded, each later one the
// result of one step. A state: { key, bytes, texts: { before, after }, label, slug, summary,
// leftAlone, changes, check }. It knows no task and no file rule; it names steps and downloads.

// What the states of the document may hold at most (their files and texts to draw), and with
// them the drawings kept; the tests set a small one.
export const HISTORY_BUDGET = globalThis.qvHistoryBudget ?? 400 * 1024 * 1024;

export const session = { doc: null };
let nextKey = 1; // names a state for the worker and the drawings kept

export const current = () => session.doc && session.doc.states[session.doc.at];
export const newKey = () => nextKey++;

// A new document from a file the engine read.
export function openDocument(name, bytes, key, opened) {
  session.doc = {
    name,
    parts: opened.parts,
    at: 0,
    forgotten: [],
    measures: new Map(), // by layout width: every measure and its page
    states: [{ key, bytes, texts: { after: opened.xml }, label: `Opened ${name}`, slug: '', changes: [] }],
  };
  return session.doc;
}

// A part as the lists name it: its name, with its id when another part has the same name (two
// "Violin"), its id alone when it has none.
export function partLabel(parts, id) {
  const part = parts.find((p) => p.id === id);
  const name = part?.name?.trim();
  if (!name) return id;
  return parts.filter((p) => p.name?.trim() === name).length > 1 ? `${name} (${id})` : name;
}

// "measures 5-12, Piano": the music a step or a check was about.
export function whereLabel(doc, measures, parts) {
  const where = !measures ? 'all measures' : /[-,]/.test(measures) ? `measures ${measures}` : `measure ${measures}`;
  const who = !parts ? 'all parts' : parts.split(',').map((id) => partLabel(doc.parts, id)).join(', ');
  return `${where}, ${who}`;
}

// "Drop 2nd, measures 5-12, Piano": the step as the history lists it.
export function stepLabel(doc, task, bottom, measures, parts) {
  const name = task.hasDirection ? `${task.name} ${bottom ? task.bottom : task.top}` : task.name;
  return `${name}, ${whereLabel(doc, measures, parts)}`;
}

// Keeps the voice-leading check of a state (the engine's faults, each with the ids of its
// notes in the state's text to draw) for the lists; a later check of it replaces it.
export function keepCheck(doc, state, result, where) {
  state.check = { where, summary: result.checkSummary, faults: result.faults };
  doc.checks = (doc.checks ?? 0) + 1;
}

export function slug(task, bottom) {
  const words = task.hasDirection ? `${task.name} ${bottom ? task.bottom : task.top}` : task.name;
  return words.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
}

// "song.mxl" after Rotate Down gives "song-rotate-down.mxl": the steps in the name, the same
// container as the input; a long history is cut short.
export function downloadName(doc) {
  const { name } = doc;
  const dot = name.lastIndexOf('.');
  const base = dot > 0 ? name.slice(0, dot) : name;
  const extension = dot > 0 ? name.slice(dot) : '.musicxml';
  const slugs = [...doc.forgotten, ...doc.states.slice(0, doc.at + 1).map((s) => s.slug).filter(Boolean)];
  const shown = slugs.length > 3 ? [...slugs.slice(0, 3), `and-${slugs.length - 3}-more`] : slugs;
  return `${[base, ...shown].join('-')}${extension}`;
}

// What a state holds: its file and its texts to draw.
export const stateCost = (s) => s.bytes.length + (s.texts.before?.length ?? 0) + (s.texts.after?.length ?? 0);
export const statesCost = (doc) => (doc ? doc.states.reduce((sum, s) => sum + stateCost(s), 0) : 0);

// Adds a step's result after the current state (dropping the steps undone) and makes it the
// current one. Past the budget the oldest states go, as a host's undo list forgets its oldest
// steps, rather than the browser running out of memory on a long session with a large score.
// Answers the states dropped.
export function addStep(doc, state) {
  const dropped = doc.states.splice(doc.at + 1);
  doc.states.push(state);
  let total = statesCost(doc);
  while (total > HISTORY_BUDGET && doc.states.length > 2) {
    const [oldest] = doc.states.splice(0, 1);
    total -= stateCost(oldest);
    if (oldest.slug) doc.forgotten.push(oldest.slug);
    dropped.push(oldest);
  }
  doc.at = doc.states.length - 1;
  return dropped;
}

// The text to draw of one side of a state of the document shown, or undefined.
export function textOf(key, side) {
  return session.doc?.states.find((s) => s.key === key)?.texts[side];
}

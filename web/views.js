// The drawing: every page of one side of one state, drawn as it comes near the visible part,
// at the zoom chosen. What was drawn is kept (within the memory budget the states leave), so
// that Undo, Redo and the before/after switch show a step seen before at once.
import { $ } from './ui.js';
import { current, HISTORY_BUDGET, session, statesCost } from './history.js';

// How far beyond the visible part of the score pages are drawn ahead.
const AHEAD = '1200px';
// The zooms offered, in percent of the drawing's usual size; the page's width follows, so that
// a smaller zoom puts more measures on a line.
export const ZOOMS = [40, 50, 60, 70, 85, 100, 120];
// A wide window shows four measures a line of a four-part score; a phone's keeps them legible.
const DEFAULT_ZOOM = globalThis.innerWidth < 700 ? 100 : 50;
const WIDTH_AT_100 = 1100; // Verovio's page width at 100%

// key and side: the text drawn; shown: the side of the current state the user chose
export const view = { key: 0, side: 'after', shown: 'after', pages: 0, measures: null, generation: 0, zoom: savedZoom() };
let engine;
let hooks = { onDrawn() {} };

function savedZoom() {
  const z = Number(globalThis.localStorage?.getItem('qv-zoom'));
  return ZOOMS.includes(z) ? z : DEFAULT_ZOOM;
}

export const width = () => Math.round((WIDTH_AT_100 * 100) / view.zoom);

// ---- what was drawn, kept ----------------------------------------------------------------------

const drawings = new Map(); // "key/side/width/page" -> svg, oldest first
const pageCounts = new Map(); // "key/side/width" -> pages
let drawnBytes = 0;

function keep(name, svg) {
  drawings.delete(name);
  drawings.set(name, svg);
  drawnBytes += svg.length;
  trimDrawings();
}

// Drops the drawings seen longest ago until the states and the drawings fit the budget.
export function trimDrawings() {
  const room = HISTORY_BUDGET - statesCost(session.doc);
  for (const [name, svg] of drawings) {
    if (drawnBytes <= room) break;
    drawings.delete(name);
    drawnBytes -= svg.length;
  }
}

// Forgets what was drawn of states no longer kept.
export function forgetDrawings(states) {
  const keys = new Set(states.map((s) => `${s.key}/`));
  for (const [name, svg] of drawings) {
    if (keys.has(name.slice(0, name.indexOf('/') + 1))) {
      drawings.delete(name);
      drawnBytes -= svg.length;
    }
  }
  for (const name of pageCounts.keys()) if (keys.has(name.slice(0, name.indexOf('/') + 1))) pageCounts.delete(name);
}

// ---- showing -------------------------------------------------------------------------------------

export function initViews(theEngine, theHooks) {
  engine = theEngine;
  hooks = theHooks;
  $('zoom').replaceChildren(...ZOOMS.map((z) => new Option(`${z}%`, String(z), false, z === view.zoom)));
}

// The pages of one side of a state at the zoom shown, asked of the worker once.
export async function pagesOf(key, side, known) {
  const name = `${key}/${side}/${width()}`;
  if (known) pageCounts.set(name, known);
  if (!pageCounts.has(name)) pageCounts.set(name, (await engine.ask('show', { key, side, width: width() })).pages);
  return pageCounts.get(name);
}

const observer = new IntersectionObserver(
  (entries) => entries.forEach((e) => e.isIntersecting && drawPage(e.target)),
  { root: document.getElementById('view'), rootMargin: AHEAD },
);

// The text one side of a state is drawn from. The score before a step is the state before it,
// drawn already (its own step's red marks hidden), while the document still keeps that state.
function source(key, side) {
  const { states } = session.doc;
  const i = side === 'before' ? states.findIndex((s) => s.key === key) : -1;
  return i > 0 ? { key: states[i - 1].key, side: 'after', plain: true } : { key, side, plain: false };
}

// Shows one side of one state: a place for each page, each drawn when it is scrolled to.
export async function showView(stateKey, shown, known) {
  const { key, side, plain } = source(stateKey, shown);
  const pages = await pagesOf(key, side, known);
  view.generation += 1;
  const { doc } = session;
  Object.assign(view, { key, side, shown, pages, measures: null });
  $('view').classList.toggle('plain', plain);
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
  const caption = shown === 'before' ? 'Before the step' : current().slug ? 'Now (changed notes in red)' : 'As loaded';
  $('view-caption').textContent = `${caption}: ${pages} ${pages === 1 ? 'page' : 'pages'}`;
  // The measures and their pages are found once per score and zoom: a step changes notes, not
  // measures, and finding them costs Verovio more than drawing a page.
  const w = width();
  view.measures = doc.measures.get(w) ?? null;
  await drawPage(places[0]);
  places.forEach((place) => observer.observe(place));
  if (!doc.measures.has(w)) {
    const { measures } = await engine.ask('measures', { key, side, width: w });
    doc.measures.set(w, measures);
    if (session.doc === doc && width() === w) view.measures = measures;
  }
  hooks.onDrawn();
}

// Draws one page into its place, once.
export async function drawPage(place) {
  if (!place || place.dataset.drawn) return;
  place.dataset.drawn = 'pending';
  const generation = view.generation;
  const page = Number(place.dataset.page);
  const name = `${view.key}/${view.side}/${width()}/${page}`;
  let svg = drawings.get(name);
  if (svg === undefined) {
    try {
      ({ svg } = await engine.ask('page', { key: view.key, side: view.side, width: width(), page }));
    } catch (e) {
      if (generation !== view.generation) return;
      if (e.name === 'Cancelled') {
        place.dataset.drawn = ''; // drawn again by the new worker when it is in view
        return;
      }
      place.textContent = `Page ${page} could not be drawn: ${e.message}`;
      return;
    }
    keep(name, svg);
  }
  if (generation !== view.generation) return;
  const drawing = document.importNode(new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement, true);
  place.replaceChildren(drawing);
  place.style.minHeight = '';
  place.dataset.drawn = 'yes';
  hooks.onDrawn(place);
}

// The pages that were being drawn when the worker was cancelled, drawn again.
export function drawAgain() {
  $('view').querySelectorAll('.page:not([data-drawn="yes"])').forEach((place) => {
    place.dataset.drawn = '';
    observer.unobserve(place);
    observer.observe(place);
  });
}

export async function pageDrawn(p) {
  const place = $('view').querySelector(`.page[data-page="${p}"]`);
  if (place && place.dataset.drawn !== 'yes') {
    place.dataset.drawn = '';
    await drawPage(place);
  }
  return place;
}

// The measure index (in score order) of each measure element of a drawn page.
export function measuresOf(place) {
  const p = Number(place.dataset.page);
  const first = view.measures ? view.measures.findIndex((m) => m.page === p) : -1;
  return Array.from(place.querySelectorAll('g.measure')).map((g, i) => ({ g, m: first < 0 ? -1 : first + i }));
}

// The measure at the top of what is visible, to keep in view when the drawing changes.
export function visibleMeasure() {
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
export function scrollViewTo(element, middle = false) {
  const box = $('view').getBoundingClientRect();
  const at = element.getBoundingClientRect();
  const offset = middle ? (box.height - at.height) / 2 : 8;
  $('view').scrollTop += at.top - box.top - offset;
}

export async function scrollToMeasure(m) {
  if (m < 0 || !view.measures?.[m]) return;
  const place = await pageDrawn(view.measures[m].page);
  const g = measuresOf(place).find((x) => x.m === m)?.g;
  scrollViewTo(g ?? place);
}

// Shows a side of the current state, keeping the measure at the top in view.
export async function switchSide(side) {
  const m = visibleMeasure();
  await showView(current().key, side);
  $(`side-${side}`).checked = true;
  await scrollToMeasure(m);
}

// Draws the score shown at another zoom, remembered for the next visit.
export async function setZoom(zoom) {
  if (!ZOOMS.includes(zoom)) return;
  view.zoom = zoom;
  try {
    localStorage.setItem('qv-zoom', String(zoom));
  } catch {
    // storage refused (a private window): the zoom holds for this visit
  }
  if (session.doc) await switchSide(view.shown);
}

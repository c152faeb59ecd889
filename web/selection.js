// The selection: measures and parts, chosen in the drawing (click, shift-click, drag) or typed
// in the fields, drawn over the notation. Nothing selected is the whole score.
import { $ } from './ui.js';
import { session } from './history.js';
import { measuresOf, view } from './views.js';

export let selection = null; // { m0, m1, parts: [bool] } by measure index; null: the whole score
let anchor = null; // where a shift-click or a drag extends from: { m, part }

// The part of a score staff (Verovio numbers staves through the score from 1).
function partOfStaff(staff) {
  const { parts } = session.doc;
  let last = 0;
  for (let i = 0; i < parts.length; ++i) {
    last += parts[i].staves;
    if (staff <= last) return i;
  }
  return parts.length - 1;
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
export function drawSelection(only) {
  const places = only ? [only] : Array.from($('view').querySelectorAll('.page[data-drawn="yes"]'));
  for (const place of places) {
    place.querySelectorAll('.selected').forEach((s) => s.remove());
    if (!selection || !session.doc) continue;
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
  const parts = session.doc.parts.map((_, i) => i >= Math.min(from.part, to.part) && i <= Math.max(from.part, to.part));
  setSelection({ m0: Math.min(from.m, to.m), m1: Math.max(from.m, to.m), parts });
}

// Sets the selection and keeps the typed range and the part boxes in step with it.
export function setSelection(s) {
  selection = s;
  const names = view.measures?.map((m) => m.n) ?? [];
  if (!s) {
    anchor = null;
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

// A new score: nothing selected, the fields cleared without drawing.
export function resetSelection() {
  selection = null;
  anchor = null;
  $('measures').value = '';
}

// The selection from the typed range and the part boxes; a range the score lacks selects nothing.
function selectionFromFields() {
  if (!session.doc || !view.measures) return;
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

export function initSelection() {
  $('view').addEventListener('pointerdown', (event) => {
    if (!session.doc || event.button !== 0) return;
    const at = hit(event);
    event.preventDefault(); // no text selection in the drawing
    $('view').focus({ preventScroll: true });
    if (!at) {
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
  $('clear-selection').addEventListener('click', () => setSelection(null));
}

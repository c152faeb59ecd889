// The lists beside the drawing: the parts to choose, the steps of the document, the chords
// the current step changed and what the voice-leading check found in it. Each list is one entry of LISTS, made again from the document when
// its step changes; a new list is one more entry (an element to fill and a function that fills it).
import { $ } from './ui.js';
import { partLabel, session } from './history.js';

// A list item holding a button, as the lists use them.
function buttonItem(text, data) {
  const item = document.createElement('li');
  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = text;
  Object.assign(button.dataset, data);
  item.append(button);
  return item;
}

// The steps of the document, the current one marked, the undone ones greyed.
function fillHistory(doc) {
  const items = (doc ? doc.states : []).map((s, i) => {
    const item = buttonItem(s.label, { step: i });
    if (i === doc.at) item.firstChild.setAttribute('aria-current', 'step');
    if (i > doc.at) item.className = 'undone';
    return item;
  });
  if (doc?.forgotten.length) {
    const item = document.createElement('li');
    item.className = 'note';
    const n = doc.forgotten.length;
    item.textContent = `${n} earlier ${n === 1 ? 'step' : 'steps'} of ${doc.name} can no longer be undone (memory).`;
    items.unshift(item);
  }
  $('history').replaceChildren(...items);
}

// The chords the current step changed, as --dry-run lists them; each a button that shows it.
function fillChanges(doc, state) {
  const changes = state?.changes ?? [];
  $('changes-box').hidden = !state?.slug;
  const items = changes.map((c, k) => {
    const part = partLabel(doc.parts, c.part);
    return buttonItem(`${part}, staff ${c.staff}, measure ${c.measure}, beat ${+c.beat.toFixed(2)}, voice ${c.voice}${c.symbol ? `, ${c.symbol}` : ''}: ${c.before} → ${c.after}`, { change: k });
  });
  $('changes').replaceChildren(...items);
}

// A fault as --check prints it, in the changed chords' words: "Choir, staff 1, measure 2,
// beat 1, voice 1: parallel fifths, voices 1 and 2 from the bass: C3 G3 → D3 A3"; the upper
// voice's part, staff and voice follow the lower's when they are elsewhere ("Bass, staff 1,
// measure 3, beat 2, voice 1, with Soprano, staff 1, voice 1: ...").
export function faultLine(parts, f) {
  const notes = f.before ? `${f.before} → ${f.after}` : f.after;
  const apart = f.upperPart !== f.part || f.upperStaff !== f.staff || f.upperVoice !== f.voice;
  const upper = apart ? `, with ${partLabel(parts, f.upperPart)}, staff ${f.upperStaff}, voice ${f.upperVoice}` : '';
  return `${partLabel(parts, f.part)}, staff ${f.staff}, measure ${f.measure}, beat ${+f.beat.toFixed(2)}, voice ${f.voice}${upper}: ${f.kind}, voices ${f.lower} and ${f.upper} from the bass: ${notes}`;
}

// The faults the check found in the current state, each a button that shows its notes.
function fillFaults(doc, state) {
  const check = state?.check;
  $('check-box').hidden = !check;
  $('check-title').textContent = check ? `Voice leading, ${check.where}` : '';
  $('check-summary').textContent = check?.summary ?? '';
  const items = (check?.faults ?? []).map((f, k) => buttonItem(faultLine(doc.parts, f), { fault: k }));
  if (check && !items.length) {
    const item = document.createElement('li');
    item.className = 'note';
    item.textContent = 'Nothing found: no parallel or hidden fifths or octaves, no crossed voices, no upper voices over an octave apart.';
    items.push(item);
  }
  $('faults').replaceChildren(...items);
}

export const LISTS = [
  { element: 'history', fill: fillHistory },
  { element: 'changes', fill: fillChanges },
  { element: 'faults', fill: fillFaults },
];

let shown = ''; // the document and step the lists show

// The lists are made again only when the document or its step changed, so that a button
// chosen in them keeps the focus; the current step keeps it when it had it.
export function updateLists() {
  const { doc } = session;
  const listed = doc ? `${doc.states[0].key}:${doc.at}:${doc.states.length}:${doc.forgotten.length}:${doc.checks ?? 0}` : '';
  if (listed === shown) return;
  shown = listed;
  const focused = LISTS.find((l) => $(l.element).contains(document.activeElement));
  const state = doc && doc.states[doc.at];
  for (const list of LISTS) list.fill(doc, state);
  if (focused?.element === 'history') $('history').querySelector('[aria-current]')?.focus();
}

// One check box a part, all on: the task applies to the parts left on. Two parts of the same
// name are told apart by their ids.
export function showParts(parts) {
  $('parts').replaceChildren(
    ...parts.map((part) => {
      const label = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = true;
      box.value = part.id;
      const name = part.name?.trim();
      label.append(box, name ? ` ${name} (${part.id})` : ` ${part.id}`);
      return label;
    }),
  );
}

// The parts' value for the job: empty when every part is chosen, null when none is.
export function chosenParts() {
  const boxes = Array.from($('parts').querySelectorAll('input'));
  const on = boxes.filter((b) => b.checked).map((b) => b.value);
  return on.length === boxes.length ? '' : on.length ? on.join(',') : null;
}

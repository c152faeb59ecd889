// The page: reads the user's choices, hands the score to the worker and shows what comes back.
// It knows no task and no file rule; the engine answers everything about the score.

// The largest file the page accepts; the engine holds the file, its document and the result.
const LIMIT_MB = 20;
// The example score shipped with the project, served beside the page.
const EXAMPLE = 'chorale.musicxml';
const $ = (id) => document.getElementById(id);

const worker = new Worker('worker.js', { type: 'module' });
let tasks = []; // the engine's catalogue, in the tool window's order
let score = null; // the loaded file: { name, bytes }
let reading = null; // the file being read, until the engine has listed its parts
let changed = null; // the last result: { name, bytes }
let jobId = 0; // the request whose answer the page waits for

function showError(message) {
  $('error').textContent = message;
}

function setBusy(busy) {
  $('progress').hidden = !busy;
  $('apply').disabled = busy || !score || !tasks.length;
  $('example').disabled = busy;
  $('file').disabled = busy;
}

function clearResult() {
  changed = null;
  $('download').disabled = true;
  $('summary').textContent = '';
  $('left-alone').textContent = '';
  $('after').replaceChildren();
}

// Puts Verovio's drawing, page by page, into a pane, with its note below.
function showDrawing(pane, drawing) {
  const nodes = drawing.pages.map((svg) =>
    document.importNode(new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement, true),
  );
  if (drawing.note) {
    const p = document.createElement('p');
    p.className = 'note';
    p.textContent = drawing.note;
    nodes.push(p);
  }
  $(pane).replaceChildren(...nodes);
}

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

// "song.mxl" with Rotate, Down gives "song-rotate-down.mxl": the task in the name, the same
// container as the input.
function downloadName(fileName, task, bottom) {
  const dot = fileName.lastIndexOf('.');
  const base = dot > 0 ? fileName.slice(0, dot) : fileName;
  const extension = dot > 0 ? fileName.slice(dot) : '.musicxml';
  const words = task.hasDirection ? `${task.name} ${bottom ? task.bottom : task.top}` : task.name;
  const slug = words.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
  return `${base}-${slug}${extension}`;
}

// Forgets the loaded score and says why.
function refuse(message) {
  score = null;
  reading = null;
  clearResult();
  $('before').replaceChildren();
  $('parts').replaceChildren();
  $('loaded').textContent = 'No score loaded.';
  setBusy(false);
  showError(message);
}

// Hands a file to the engine, which lists its parts or says what is wrong with it.
function readScore(name, bytes) {
  refuse('');
  reading = { name, bytes };
  jobId += 1;
  setBusy(true);
  worker.postMessage({ id: jobId, kind: 'parts', fileName: name, bytes: bytes.slice() });
}

$('limit').textContent = `${LIMIT_MB} MB`;

$('file').addEventListener('change', async () => {
  const file = $('file').files[0];
  if (!file) return;
  $('file').value = ''; // choosing the same file again reads it again
  if (file.size > LIMIT_MB * 1024 * 1024) {
    refuse(`${file.name} is ${(file.size / 1048576).toFixed(1)} MB; this page takes files up to ${LIMIT_MB} MB.`);
  } else if (file.size === 0) {
    refuse(`${file.name} is empty: there is no score in it.`);
  } else {
    readScore(file.name, new Uint8Array(await file.arrayBuffer()));
  }
});

$('example').addEventListener('click', async () => {
  const response = await fetch(EXAMPLE);
  if (!response.ok) refuse('The example score could not be loaded.');
  else readScore(EXAMPLE, new Uint8Array(await response.arrayBuffer()));
});

$('task').addEventListener('change', showTask);

$('job').addEventListener('submit', (event) => {
  event.preventDefault();
  const task = selectedTask();
  if (!score || !task) return;
  const parts = chosenParts();
  if (parts === null) {
    showError('Choose at least one part.');
    return;
  }
  showError('');
  clearResult();
  jobId += 1;
  setBusy(true);
  $('progress-bar').value = 0;
  const bottom = task.hasDirection && $('bottom').checked;
  changed = { name: downloadName(score.name, task, bottom), bytes: null };
  worker.postMessage({
    id: jobId,
    fileName: score.name,
    bytes: score.bytes.slice(),
    options: {
      task: task.name,
      bottom,
      fourNoteDrops: $('four-note').checked,
      measures: $('measures').value.trim(),
      parts,
    },
  });
});

$('download').addEventListener('click', () => {
  if (!changed || !changed.bytes) return;
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([changed.bytes], { type: 'application/octet-stream' }));
  link.download = changed.name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
});

worker.onmessage = ({ data }) => {
  if (data.type === 'ready') {
    tasks = data.tasks;
    $('task').replaceChildren(...tasks.map((t) => new Option(t.name)));
    $('task').selectedIndex = 0;
    showTask();
    setBusy(false);
    return;
  }
  if (data.type === 'fatal') {
    showError(data.message);
    return;
  }
  if (data.id !== jobId) return;
  if (data.type === 'progress') {
    $('progress-bar').value = data.fraction;
    $('progress-text').textContent = data.text;
  } else if (data.type === 'failed' && reading) {
    refuse(data.message);
  } else if (data.type === 'failed') {
    clearResult();
    setBusy(false);
    showError(data.message);
  } else if (data.type === 'parts') {
    score = reading;
    reading = null;
    showParts(data.parts);
    $('loaded').textContent = `Loaded ${score.name} (${Math.ceil(score.bytes.length / 1024)} KB).`;
    setBusy(false);
  } else if (data.type === 'done') {
    setBusy(false);
    changed.bytes = data.output;
    showDrawing('before', data.before);
    showDrawing('after', data.after);
    $('summary').textContent = data.summary;
    $('left-alone').textContent = data.leftAlone;
    $('download').disabled = false;
  }
};

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
let changed = null; // the last result: { name, bytes }
let jobId = 0; // the job whose answer the page waits for

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

function useScore(name, bytes) {
  score = { name, bytes };
  clearResult();
  $('before').replaceChildren();
  showError('');
  $('loaded').textContent = `Loaded ${name} (${Math.ceil(bytes.length / 1024)} KB).`;
  setBusy(false);
}

$('limit').textContent = `${LIMIT_MB} MB`;

// Refuses a file before it reaches the engine; the message says why.
function refuse(message) {
  score = null;
  clearResult();
  $('before').replaceChildren();
  setBusy(false);
  showError(message);
}

$('file').addEventListener('change', async () => {
  const file = $('file').files[0];
  if (!file) return;
  if (file.size > LIMIT_MB * 1024 * 1024) {
    refuse(`${file.name} is ${(file.size / 1048576).toFixed(1)} MB; this page takes files up to ${LIMIT_MB} MB.`);
  } else if (file.size === 0) {
    refuse(`${file.name} is empty: there is no score in it.`);
  } else {
    useScore(file.name, new Uint8Array(await file.arrayBuffer()));
  }
});

$('example').addEventListener('click', async () => {
  const response = await fetch(EXAMPLE);
  if (!response.ok) {
    showError('The example score could not be loaded.');
    return;
  }
  useScore(EXAMPLE, new Uint8Array(await response.arrayBuffer()));
});

$('task').addEventListener('change', showTask);

$('job').addEventListener('submit', (event) => {
  event.preventDefault();
  const task = selectedTask();
  if (!score || !task) return;
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
      parts: $('parts').value.trim(),
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
  } else if (data.type === 'failed') {
    setBusy(false);
    clearResult();
    showError(data.message);
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

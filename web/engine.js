// The engine's worker, seen from the page: requests and their answers, and Cancel, which ends
// the worker whatever it is doing and starts a new one. Nothing is lost by that: the page keeps
// every file and every text to draw, and hands a text over when the worker asks for one.

// The answer to a request that was cancelled.
export class Cancelled extends Error {
  constructor() {
    super('cancelled');
    this.name = 'Cancelled';
  }
}

export class Engine {
  // textOf(key, side): the text to draw of one side of a state, for a worker that has not
  // loaded it; onFatal(message): the worker could not start.
  constructor({ textOf, onFatal }) {
    Object.assign(this, { textOf, onFatal, requestId: 0 });
    this.tasks = new Promise((resolve) => { this.gotTasks = resolve; });
    this.start();
  }

  start() {
    this.waiting = new Map();
    const worker = new Worker('worker.js', { type: 'module' });
    this.worker = worker;
    worker.onmessage = ({ data }) => {
      if (worker !== this.worker) return;
      if (data.type === 'ready') return this.gotTasks(data.tasks);
      if (data.type === 'fatal') return this.onFatal(data.message);
      const w = this.waiting.get(data.id);
      if (!w) return;
      this.waiting.delete(data.id);
      if (data.type === 'failed') w.reject(new Error(data.message));
      else w.resolve(data);
    };
  }

  send(kind, message, transfer) {
    const id = ++this.requestId;
    this.worker.postMessage({ id, kind, ...message }, transfer);
    return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject }));
  }

  // Sends a request; answers its reply, or throws its message (Cancelled when cancelled). A
  // request about a state the worker has not loaded is sent again with the state's text.
  async ask(kind, message = {}, transfer = []) {
    const reply = await this.send(kind, message, transfer);
    if (reply.type !== 'missing') return reply;
    const text = this.textOf(message.key, message.side);
    if (typeof text !== 'string') throw new Error('This state of the score is no longer kept.');
    return this.send(kind, { ...message, text }, []);
  }

  // Ends the worker at once and starts a new one; every request waiting is answered Cancelled.
  cancel() {
    this.worker.terminate();
    const waiting = this.waiting;
    this.start();
    for (const w of waiting.values()) w.reject(new Cancelled());
  }
}

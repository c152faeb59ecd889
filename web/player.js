// Playback: Verovio's MIDI of the score shown (from the worker), sounded by FluidSynth (the npm
// package js-synthesizer) with the General MIDI SoundFont served beside the page. The notes
// sounding are handed to the page to highlight; the level of what goes to the speakers shows on
// a meter, so that a silent graph is seen.

// The synthesizer's scripts, loaded on the first Play only (they are large).
function script(src) {
  return new Promise((resolve, reject) => {
    const s = document.createElement('script');
    s.src = src;
    s.onload = resolve;
    s.onerror = () => reject(new Error(`${src} could not be loaded`));
    document.head.append(s);
  });
}

let engine = null; // { context, synth, analyser } once made
async function makeEngine() {
  if (engine) return engine;
  await script('synth/libfluidsynth.js');
  await script('synth/js-synthesizer.js');
  const { JSSynth } = globalThis;
  await JSSynth.waitForReady();
  const response = await fetch('soundfont.sf2');
  if (!response.ok) throw new Error('the instrument sounds (soundfont.sf2) could not be loaded');
  const sounds = await response.arrayBuffer();
  const context = new AudioContext();
  const synth = new JSSynth.Synthesizer();
  synth.init(context.sampleRate);
  const node = synth.createAudioNode(context, 4096);
  const analyser = context.createAnalyser();
  analyser.fftSize = 1024;
  node.connect(analyser);
  analyser.connect(context.destination);
  await synth.loadSFont(sounds);
  engine = { context, synth, analyser };
  return engine;
}

// MIDI's ticks per quarter note, from the file's header.
function division(midi) {
  return (midi[12] << 8) | midi[13];
}

// Milliseconds of the score at a quarter-note position, between the measures' starts.
function msAt(measures, q) {
  let i = 0;
  while (i + 1 < measures.length && measures[i + 1].qstamp <= q) ++i;
  const a = measures[i];
  const b = measures[i + 1];
  if (!b || b.qstamp === a.qstamp) return a.tstamp + (q - a.qstamp) * 500;
  return a.tstamp + ((q - a.qstamp) * (b.tstamp - a.tstamp)) / (b.qstamp - a.qstamp);
}

export class Player {
  // ask(kind, message): a request to the worker about the score shown; onNotes(ids): the notes
  // sounding; onEnd(): playing stopped; level: a <meter> for the sound level.
  constructor({ ask, onNotes, onEnd, level }) {
    Object.assign(this, { ask, onNotes, onEnd, level });
    this.run = 0; // the playing run; a new one or Stop ends the one before
  }

  // Plays measures from..to (indices in score order) of the score shown; measures: each
  // measure's start in quarter notes and milliseconds, in score order.
  async play(measures, from, to) {
    const run = ++this.run;
    const { midi: base64 } = await this.ask('midi');
    const midi = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const { context, synth, analyser } = await makeEngine();
    if (run !== this.run) return;
    await context.resume();
    const ppq = division(midi);
    const start = measures[from]?.qstamp ?? 0;
    const end = measures[to + 1]?.qstamp ?? Infinity;
    await synth.resetPlayer();
    await synth.addSMFDataToPlayer(midi.buffer);
    synth.seekPlayer(Math.round(start * ppq));
    await synth.playPlayer();
    const samples = new Float32Array(analyser.fftSize);
    let asked = false;
    const tick = async () => {
      if (run !== this.run) return;
      analyser.getFloatTimeDomainData(samples);
      this.level.value = Math.min(1, samples.reduce((m, s) => Math.max(m, Math.abs(s)), 0));
      const q = (await synth.retrievePlayerCurrentTick()) / ppq;
      if (run !== this.run) return;
      if (q >= end || !synth.isPlayerPlaying()) return this.stop();
      if (!asked) {
        // one question about the notes at a time; the next frame asks again
        asked = true;
        this.ask('at', { ms: msAt(measures, q) }).then((answer) => {
          asked = false;
          if (run === this.run) this.onNotes(answer.notes);
        }, () => { asked = false; });
      }
      this.timer = setTimeout(tick, 50);
    };
    tick();
  }

  stop() {
    const wasPlaying = this.run > 0 && this.timer !== undefined;
    this.run += 1;
    clearTimeout(this.timer);
    this.timer = undefined;
    if (engine) {
      engine.synth.stopPlayer();
      engine.synth.midiAllSoundsOff();
    }
    if (this.level) this.level.value = 0;
    this.onNotes([]);
    if (wasPlaying || this.run) this.onEnd();
  }
}

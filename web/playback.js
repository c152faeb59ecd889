// Listening: the score shown (or its selected measures) played, its notes highlighted as they
// sound, the view following them.
import { Player } from './player.js';
import { $, showError } from './ui.js';
import { session } from './history.js';
import { scrollViewTo, view, width } from './views.js';
import { selection } from './selection.js';

let player;

export function stopPlaying() {
  player?.stop();
}

export function initPlayback(engine) {
  player = new Player({
    ask: (kind, message) => engine.ask(kind, { key: view.key, side: view.side, width: width(), ...message }),
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
  $('play').addEventListener('click', () => {
    if (!session.doc) return;
    showError('');
    const measures = view.measures ?? [];
    const from = selection ? selection.m0 : 0;
    const to = selection ? selection.m1 : measures.length - 1;
    $('play').hidden = true;
    $('stop').hidden = false;
    $('level').hidden = false;
    $('stop').focus();
    player.play(measures, from, to).catch((e) => {
      if (e.name !== 'Cancelled') showError(`The score cannot be played: ${e.message}`);
      player.stop();
    });
  });
  $('stop').addEventListener('click', stopPlaying);
}

// Scores written for the page's tests and benchmark: a lead sheet over a piano, strings and a
// walking bass, as long as asked. Chord symbols carry flats and sharps, the melody a lyric.

// A pitch as MusicXML writes it: "Bb3" -> <pitch> with step, alter and octave.
function pitch(name) {
  const [, step, accidental, octave] = /^([A-G])(b|#)?(\d)$/.exec(name);
  const alter = accidental === 'b' ? '<alter>-1</alter>' : accidental === '#' ? '<alter>1</alter>' : '';
  return `<pitch><step>${step}</step>${alter}<octave>${octave}</octave></pitch>`;
}

function note(name, { duration, type, staff, chord = false, voice = 1, lyric = '' }) {
  return `<note>${chord ? '<chord/>' : ''}${pitch(name)}<duration>${duration}</duration><voice>${voice}</voice>` +
    `<type>${type}</type>${staff ? `<staff>${staff}</staff>` : ''}${lyric ? `<lyric><syllabic>single</syllabic><text>${lyric}</text></lyric>` : ''}</note>`;
}

function chord(names, options) {
  return names.map((n, i) => note(n, { ...options, chord: i > 0 })).join('');
}

// Four bars that repeat: the symbol, the piano's right hand, the strings and the bass line.
const BARS = [
  { root: ['B', -1], kind: ['major-seventh', 'Maj7'], rh: ['F3', 'A3', 'D4', 'Bb4'], strings: ['D4', 'F4', 'Bb4'], bass: ['Bb2', 'D3', 'F3', 'A2'], tune: ['D5', 'C5', 'Bb4', 'F4'] },
  { root: ['G', 0], kind: ['minor-seventh', 'm7'], rh: ['F3', 'Bb3', 'D4', 'G4'], strings: ['D4', 'G4', 'Bb4'], bass: ['G2', 'Bb2', 'D3', 'F#2'], tune: ['G4', 'A4', 'Bb4', 'D5'] },
  { root: ['C', 0], kind: ['minor-seventh', 'm7'], rh: ['Eb3', 'G3', 'Bb3', 'C4'], strings: ['Eb4', 'G4', 'C5'], bass: ['C3', 'Eb3', 'G2', 'Gb2'], tune: ['Eb5', 'D5', 'C5', 'G4'] },
  { root: ['F', 0], kind: ['dominant', '7'], rh: ['Eb3', 'A3', 'C4', 'F4'], strings: ['C4', 'F4', 'A4'], bass: ['F2', 'A2', 'C3', 'E2'], tune: ['F4', 'G4', 'A4', 'C5'] },
];
const WORDS = ['la', 'da', 'doo', 'bah'];

// A score-partwise of the given number of measures; parts P1 Lead, P2 Piano (two staves),
// P3 Strings, P4 Bass, or the names given by id.
export function leadSheet(measures = 8, partNames = {}) {
  const parts = { P1: [], P2: [], P3: [], P4: [] };
  for (let m = 1; m <= measures; ++m) {
    const bar = BARS[(m - 1) % BARS.length];
    const first = m === 1;
    const attributes = (extra) => (first ? `<attributes><divisions>2</divisions><key><fifths>-2</fifths></key><time><beats>4</beats><beat-type>4</beat-type></time>${extra}</attributes>` : '');
    const [step, alter] = bar.root;
    const harmony = `<harmony><root><root-step>${step}</root-step>${alter ? `<root-alter>${alter}</root-alter>` : ''}</root><kind text="${bar.kind[1]}">${bar.kind[0]}</kind></harmony>`;
    const tune = bar.tune.map((n, i) => note(n, { duration: 2, type: 'quarter', lyric: WORDS[i] })).join('');
    parts.P1.push(`<measure number="${m}">${attributes('<clef><sign>G</sign><line>2</line></clef>')}${harmony}${tune}</measure>`);
    const rh = chord(bar.rh, { duration: 4, type: 'half', staff: 1 }) + chord(bar.rh, { duration: 4, type: 'half', staff: 1 });
    const lh = `<backup><duration>8</duration></backup>${note(bar.bass[0], { duration: 8, type: 'whole', staff: 2, voice: 2 })}`;
    parts.P2.push(`<measure number="${m}">${attributes('<staves>2</staves><clef number="1"><sign>G</sign><line>2</line></clef><clef number="2"><sign>F</sign><line>4</line></clef>')}${rh}${lh}</measure>`);
    parts.P3.push(`<measure number="${m}">${attributes('<clef><sign>G</sign><line>2</line></clef>')}${chord(bar.strings, { duration: 8, type: 'whole' })}</measure>`);
    parts.P4.push(`<measure number="${m}">${attributes('<clef><sign>F</sign><line>4</line></clef>')}${bar.bass.map((n) => note(n, { duration: 2, type: 'quarter' })).join('')}</measure>`);
  }
  const names = { P1: 'Lead', P2: 'Piano', P3: 'Strings', P4: 'Bass', ...partNames };
  return `<?xml version="1.0" encoding="UTF-8"?>
<score-partwise version="4.0">
  <work><work-title>Test tune in B flat</work-title></work>
  <identification><encoding><software>written for the tests</software></encoding></identification>
  <part-list>
${Object.entries(names).map(([id, name]) => `    <score-part id="${id}"><part-name>${name}</part-name></score-part>`).join('\n')}
  </part-list>
${Object.entries(parts).map(([id, ms]) => `  <part id="${id}">\n    ${ms.join('\n    ')}\n  </part>`).join('\n')}
</score-partwise>
`;
}


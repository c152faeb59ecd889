// The engine's messages in the page's words. The engine speaks as the command does (its option
// names, its quoting); the page names its own fields instead, and every message ends with a
// stop so that a sentence added after it reads apart.
const RULES = [
  [/^(?:.*?: )?--measures "(.*)" has an empty place between commas$/,
    (text) => `Measures "${text}": there is an empty place between two commas; write a measure or a range in each place (for example 1,3,5-8).`],
  [/^(?:.*?: )?--measures "(.*)": "-" needs a measure on at least one side$/,
    (text) => `Measures "${text}": a dash needs a measure on at least one side (5-, -8 or 3-8).`],
  [/^(?:.*?: )?measure "(.*)" comes before measure "(.*)"$/,
    (first, last) => `Measures ${last}-${first} run backwards: measure ${first} comes first in the score. Write ${first}-${last}.`],
  [/^(?:.*?: )?no measure "(.*)" in the score(.*)$/,
    (n, numbering) => `The score has no measure ${n}${numbering}; change the measures in Where.`],
  [/^(?:.*?: )?--parts "(.*)" has an empty place between commas$/, () => 'Choose the parts with their boxes in Where.'],
  [/^(?:.*?: )?no part "(.*)" in the score \(by id or name\); its parts are(.*)$/,
    (name, parts) => `The score has no part "${name}"; its parts are${parts}.`],
];

// A sentence: the message as the page says it, with its closing stop.
export function forPage(message) {
  let text = String(message ?? '').trim();
  for (const [pattern, words] of RULES) {
    const m = pattern.exec(text);
    if (m) {
      text = words(...m.slice(1));
      break;
    }
  }
  return /[.!?]$/.test(text) || !text ? text : `${text}.`;
}

// Draws the guide's examples as notation: every MusicXML score that guide_examples --notation
// wrote becomes an SVG picture, made by the same Verovio as the web page's (web/node_modules,
// installed from web/package-lock.json).
//   node notation.mjs SOURCES PICTURES           writes PICTURES/<name>.svg
//   node notation.mjs SOURCES PICTURES --check   fails when a picture differs or is missing
import { readdirSync, readFileSync, writeFileSync, existsSync, mkdirSync } from 'node:fs';
import { join, basename } from 'node:path';
import createVerovioModule from '../../web/node_modules/verovio/dist/verovio-module.mjs';
import { VerovioToolkit } from '../../web/node_modules/verovio/dist/verovio.mjs';

const [sources, pictures, mode] = process.argv.slice(2);
if (!sources || !pictures || (mode && mode !== '--check')) {
  console.error('usage: node notation.mjs SOURCES PICTURES [--check]');
  process.exit(2);
}

const toolkit = new VerovioToolkit(await createVerovioModule());
// A fixed seed for the element ids, so that the same score always gives the same picture.
toolkit.setOptions({
  scale: 35,
  pageWidth: 2200,
  adjustPageHeight: true,
  header: 'none',
  footer: 'none',
  breaks: 'auto',
  xmlIdSeed: 1,
});

let problems = 0;
const names = readdirSync(sources).filter((f) => f.endsWith('.musicxml')).sort();
if (!names.length) {
  console.error(`${sources}: no scores to draw`);
  process.exit(1);
}
if (!mode) mkdirSync(pictures, { recursive: true });
for (const name of names) {
  if (!toolkit.loadData(readFileSync(join(sources, name), 'utf8'))) {
    console.error(`${name}: Verovio could not read it`);
    problems += 1;
    continue;
  }
  const pages = [];
  for (let page = 1; page <= toolkit.getPageCount(); ++page) pages.push(toolkit.renderToSVG(page));
  if (pages.length !== 1) {
    console.error(`${name}: drawn on ${pages.length} pages, the guide shows one picture`);
    problems += 1;
    continue;
  }
  const picture = join(pictures, `${basename(name, '.musicxml')}.svg`);
  if (!mode) {
    writeFileSync(picture, pages[0]);
  } else if (!existsSync(picture) || readFileSync(picture, 'utf8') !== pages[0]) {
    console.error(`${picture}: differs from what the tool does; bring it up to date with ` +
      '"cmake --build build/native --target guide"');
    problems += 1;
  }
}
process.exit(problems ? 1 : 0);

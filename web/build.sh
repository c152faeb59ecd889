#!/usr/bin/env bash
# Builds the web page into build/web/site: the engine compiled to WebAssembly (the "web" preset,
# with zlib, libzip and pugixml from web/deps.sh), the page's files, Verovio and the synthesizer
# from web/node_modules (installed from the lockfile when missing), the General MIDI SoundFont of
# Debian's timgm6mb-soundfont and the example score; the page's version is the project's. Every
# address in it is relative, so the folder works from any static web server, in any folder.
# Output goes to build-web.log.
set -eu -o pipefail
cd "$(dirname "$0")/.."
export NODE_PATH=/usr/share/nodejs
log=$PWD/build-web.log
{
  web/deps.sh
  if [ ! -f web/node_modules/.package-lock.json ] ||
    [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
    (cd web && npm ci --no-audit --no-fund)
  fi
  cmake --preset web
  cmake --build build/web/engine -j2 --target qvengine
} >"$log" 2>&1 || {
  grep -E -m 20 "error|Error" "$log" || tail -20 "$log"
  echo "web: build failed ($log)"
  exit 1
}
site=build/web/site
rm -rf "$site"
mkdir -p "$site/verovio" "$site/synth"
cp build/web/engine/web/index.html web/style.css web/app.js web/ui.js web/engine.js web/history.js web/views.js \
  web/selection.js web/lists.js web/messages.js web/playback.js web/player.js web/worker.js web/offline.js \
  web/manifest.webmanifest web/icon.svg examples/chorale.musicxml "$site/"
cp /usr/share/sounds/sf2/TimGM6mb.sf2 "$site/soundfont.sf2"
cp web/node_modules/js-synthesizer/externals/libfluidsynth-2.4.6.js "$site/synth/libfluidsynth.js"
cp web/node_modules/js-synthesizer/dist/js-synthesizer.min.js "$site/synth/js-synthesizer.js"
cp build/web/engine/web/qvengine.js build/web/engine/web/qvengine.wasm "$site/"
cp web/node_modules/verovio/dist/verovio-module.mjs web/node_modules/verovio/dist/verovio.mjs \
  "$site/verovio/"

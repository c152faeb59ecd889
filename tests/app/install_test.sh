#!/bin/sh
# The installed command: cmake --install into a staging folder (DESTDIR and a prefix), then
# qvchord called by its name on the PATH from another folder finds its plug-in module and
# writes what the build tree's command writes.
set -eu
build=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/qv >"$tmp/install.log" 2>&1 || {
  cat "$tmp/install.log"
  exit 1
}
bin="$tmp/stage/opt/qv/bin"
[ -x "$bin/qvchord" ] || { echo "no bin/qvchord"; exit 1; }
[ -f "$tmp/stage/opt/qv/lib/qvchord/QVChordShaper.so" ] || { echo "no lib/qvchord/QVChordShaper.so"; exit 1; }
cp "$source/examples/chorale.musicxml" "$tmp/song.musicxml"
cd "$tmp"
PATH="$bin:$PATH" qvchord --score song.musicxml --task drop2 --out installed.musicxml >out.txt 2>&1 || {
  cat out.txt
  exit 1
}
grep -q "Drop 2nd: 7 chords changed" out.txt || { cat out.txt; exit 1; }
"$build/qvhost" "$build/QVChordShaper.so" --score song.musicxml --task "Drop 2nd" --out built.musicxml >/dev/null
cmp installed.musicxml built.musicxml
# the help names the command as typed and lists the plug-in's tasks
PATH="$bin:$PATH" qvchord --help >help.txt
grep -q "^usage: qvchord --score" help.txt || { head -3 help.txt; exit 1; }
grep -q "Unisons to Octaves" help.txt || { echo "no tasks in the help"; exit 1; }
echo "installed qvchord works"

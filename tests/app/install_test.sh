#!/bin/sh
# The installed command: cmake --install into a staging folder (DESTDIR and a prefix), then
# qvchord called by its name on the PATH from another folder finds its plug-in module and
# writes what the build tree's command writes, tells its version, answers a line without a score with the usage,
# and serves the web page installed with it (or says that it was not).
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
# the version is the project's, under the command's name whatever it was typed as
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
said=$(PATH="$bin:$PATH" qvchord --version)
[ -n "$version" ] && [ "$said" = "qvchord $version" ] || { echo "--version: \"$said\", not $version"; exit 1; }
# no score: said, with the usage, and status 2 (no demo)
status=0
PATH="$bin:$PATH" qvchord --task drop2 >none.txt 2>&1 || status=$?
[ "$status" = 2 ] || { echo "no score: status $status"; cat none.txt; exit 1; }
grep -q "^no score file given" none.txt && grep -q "^usage: qvchord --score" none.txt || {
  cat none.txt
  exit 1
}
# --web: the page installed with the command when it was built; its absence said clearly
share="$tmp/stage/opt/qv/share/qvchord"
if [ -f "$source/build/web/site/index.html" ]; then
  cmp "$source/build/web/site/index.html" "$share/build/web/site/index.html"
fi
rm -rf "$share"
status=0
PATH="$bin:$PATH" qvchord --web 0 >web.txt 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "the web page was not installed with this command" web.txt || {
  echo "--web without the page: status $status"
  cat web.txt
  exit 1
}
# with a page in place, the installed server serves it on the port asked for (0: a free one)
mkdir -p "$share/web" "$share/build/web/site"
cp "$source"/web/*.mjs "$share/web/"
echo "<title>installed page</title>" >"$share/build/web/site/index.html"
PATH="$bin:$PATH" qvchord --web 0 >web.txt 2>&1 &
server=$!
address=
for _ in $(seq 50); do
  address=$(grep -o 'http://127.0.0.1:[0-9]*/' web.txt || true)
  [ -n "$address" ] && break
  sleep 0.1
done
page=$(curl -s "$address" || true)
kill "$server" 2>/dev/null || true
wait "$server" 2>/dev/null || true
[ "$page" = "<title>installed page</title>" ] || { echo "--web served \"$page\""; cat web.txt; exit 1; }
echo "installed qvchord works"

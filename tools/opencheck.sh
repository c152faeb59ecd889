#!/bin/bash
# Opens what Explode and Reduce write in another notation program, MuseScore 3 (headless), and
# compares what it says on each output with what it says on the score the output was made from:
# a message on the output that its source did not give is a new one. MuseScore checks the file
# against the MusicXML schema ("... is not a valid MusicXML file") and each note's duration
# against its type and time modification, and backups against the start of the measure.
#
# Needs: mscore3 (Debian and Ubuntu: apt-get install musescore3) and the command, which ./run
# builds in build/release when a source is newer than its last build.
#
#   tools/opencheck.sh               the Explode and Reduce test scores and examples/*.musicxml
#   tools/opencheck.sh SCORE ...     these scores
#   tools/opencheck.sh --png FOLDER  also each output drawn by MuseScore, page by page, in FOLDER
#
# One line a file (ok, NEW with the messages, FAILED, or skipped with the command's reason) and a
# count at the end. Exit status: 0 no new message; 1 a new message or an output MuseScore could
# not open; 2 something needed is missing.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
png=
if [ "${1:-}" = --png ]; then
  [ $# -ge 2 ] || {
    echo "opencheck: --png needs a folder" >&2
    exit 2
  }
  png=$2
  shift 2
  mkdir -p "$png" || exit 2
fi
if ! command -v mscore3 >/dev/null; then
  echo "opencheck: mscore3 (MuseScore 3) is missing; install it, for example as root:" >&2
  echo "  apt-get install -y musescore3" >&2
  exit 2
fi
scores=("$@")
if [ ${#scores[@]} -eq 0 ]; then
  scores=("$root"/tests/musicxml/files/{explode,reduce}-*.musicxml "$root"/examples/*.musicxml)
fi
for s in "${scores[@]}"; do
  [ -f "$s" ] || {
    echo "opencheck: no score $s" >&2
    exit 2
  }
done
"$root/run" --help >/dev/null || {
  echo "opencheck: the command could not be built (see build-release.log)" >&2
  exit 2
}

work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
# MuseScore keeps its settings under HOME and wants a private runtime folder: both in $work, so
# that nothing of the user's changes and nothing of theirs changes what it says.
mkdir -m 700 "$work/runtime" "$work/home" "$work/out"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
version=$(HOME=$work/home mscore3 --version 2>/dev/null | tail -1)

# What MuseScore says on opening a file, one message a line, sorted: without the line and column
# (an output's lines move), the file's name and the addresses in its debugging text.
messages() {
  local file=$1 name=${1##*/}
  HOME=$work/home timeout 120 mscore3 -o "$work/open.mscx" "$file" 2>&1 |
    grep -v -e '^convert <' -e '^	to <' -e '^\.\.\. success!$' -e '^QStandardPaths:' |
    sed -e 's/ at line [0-9]* col [0-9]*//' -e "s|$file|FILE|g" -e "s|'$name'|FILE|g" \
      -e 's/0x[0-9a-f]*/0x/g' | sort
  [ "${PIPESTATUS[0]}" -eq 0 ] || echo "(MuseScore failed to open it)"
}

opened=0 clean=0 new=0 skipped=0
# check NAME SOURCE ARGS...: the command on SOURCE writes $work/out/NAME.musicxml; its messages
# are set against SOURCE's.
check() {
  local name=$1 source=$2 out=$work/out/$1.musicxml said
  shift 2
  if ! said=$("$root/run" --score "$source" "$@" --out "$out" 2>&1); then
    echo "skipped  $name: ${said##*: }"
    skipped=$((skipped + 1))
    return
  fi
  opened=$((opened + 1))
  local added
  added=$(comm -13 <(messages "$source") <(messages "$out"))
  if [ -z "$added" ]; then
    echo "ok       $name"
    clean=$((clean + 1))
  else
    echo "NEW      $name: $(echo "$added" | paste -sd'|' | sed 's/|/ | /g')"
    new=$((new + 1))
  fi
  if [ -n "$png" ]; then
    HOME=$work/home timeout 120 mscore3 -T 10 -r 100 -o "$png/$name.png" "$out" >/dev/null 2>&1
  fi
}

for s in "${scores[@]}"; do
  b=$(basename "$s")
  b=${b%.*}
  ids=$(grep -o '<score-part id="[^"]*"' "$s" | cut -d'"' -f2)
  for task in Explode Reduce; do
    for dir in top bottom; do
      opt=()
      [ $dir = bottom ] && opt=(--bottom)
      check "$b.$task-$dir" "$s" --task $task "${opt[@]}"
      # and back: Reduce on what Explode wrote, Explode on what Reduce wrote
      other=Reduce
      [ $task = Reduce ] && other=Explode
      [ -f "$work/out/$b.$task-$dir.musicxml" ] &&
        check "$b.$task-$dir.$other" "$work/out/$b.$task-$dir.musicxml" --task $other "${opt[@]}"
    done
  done
  # A part of the score: the second measure alone (ties come in from outside), and the parts
  # below the first (a selection that does not start at the top of the score).
  grep -q '<measure number="2"' "$s" && check "$b.Explode-measure-2" "$s" --task Explode --measures 2
  rest=$(echo "$ids" | tail -n +2 | paste -sd,)
  [ -n "$rest" ] && check "$b.Explode-parts-$rest" "$s" --task Explode --parts "$rest"
done

echo "$opened outputs opened in $version: $clean with no new message, $new with new messages;" \
  "$skipped refused by the command"
[ $new -eq 0 ]

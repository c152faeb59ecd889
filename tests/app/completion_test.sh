#!/bin/bash
# The bash completion as bash calls it (COMP_WORDS, COMP_CWORD, then the function): the tasks
# after --task, each a name the command takes for that very task; the options --help names;
# score files and folders after --score, folders after --out-dir.
#   tests/app/completion_test.sh BUILD SOURCE
set -eu
build=$(cd "$1" && pwd)
source=$2
command="$build/qvhost"
. "$source/app/completion/qvchord.bash"
complete_line() { # the words typed, the last one being completed; answers COMPREPLY, one a line
  COMP_WORDS=("$command" "$@")
  COMP_CWORD=$#
  _qvchord
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort
}
fail() {
  echo "completion: $*"
  exit 1
}
help=$("$command" --help)
tasks=$(sed -n '/^tasks  /,/^$/{/^  [^ ]/p}' <<<"$help" | sed 's/^  //; s/  .*//')
offered=$(complete_line --task "")
[ "$(wc -l <<<"$offered")" -eq "$(wc -l <<<"$tasks")" ] || fail "after --task: $offered"
# each one offered runs the task of its place in the list
while IFS= read -r name; do
  typed=$(tr 'A-Z' 'a-z' <<<"$name" | sed 's/[^a-z0-9][^a-z0-9]*/-/g; s/^-//; s/-$//')
  grep -qxF -- "$typed" <<<"$offered" || fail "\"$name\" is not offered as $typed"
  said=$("$command" --score "$source/examples/chorale.musicxml" --task "$typed" --dry-run 2>&1 |
    grep -E '^(task|no task|[^ ].*: [0-9]+ chords? changed)' | head -1)
  [[ $said == "$name: "* ]] || fail "--task $typed: $said"
done <<<"$tasks"
[ "$(complete_line --task dr | tr '\n' ' ')" = "drop-2nd drop-2nd-4th drop-3rd drop-4th " ] ||
  fail "--task dr: $(complete_line --task dr)"
# "--task=dr" as bash hands it over
[ "$(complete_line --task = dr | tr '\n' ' ')" = "drop-2nd drop-2nd-4th drop-3rd drop-4th " ] ||
  fail "--task=dr: $(complete_line --task = dr)"
[ "$(complete_line --task = | wc -l)" -eq "$(wc -l <<<"$tasks")" ] || fail "--task=: $(complete_line --task =)"
[ "$(complete_line --ver)" = "--version" ] || fail "--ver: $(complete_line --ver)"
options=$(complete_line -)
for option in --task --bottom --score --out --out-dir --measures --parts --in-place --dry-run \
  --check --web --demo --help --version -j --jobs; do
  grep -qxF -- "$option" <<<"$options" || fail "$option is not offered"
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir charts
touch song.musicxml Ballad.MXL notes.txt old.xml
[ "$(complete_line --score "" | tr '\n' ' ')" = "Ballad.MXL charts old.xml song.musicxml " ] ||
  fail "--score: $(complete_line --score "")"
[ "$(complete_line --task drop2 s)" = "song.musicxml" ] || fail "a score after the task"
[ "$(complete_line --out-dir "")" = "charts" ] || fail "--out-dir: $(complete_line --out-dir "")"
[ -z "$(complete_line --measures "")" ] || fail "--measures offers something"
echo "completion: $(wc -l <<<"$offered") tasks, $(wc -l <<<"$options") options"

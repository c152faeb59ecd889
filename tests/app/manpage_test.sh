#!/bin/sh
# The manual page against the command it describes, read at test time: every option --help
# names and every task it lists is in the page as man shows it, and every other spelling the
# page gives for a task finds that task.
#   tests/app/manpage_test.sh BUILD SOURCE
set -eu
build=$1
source=$2
command="$build/qvhost"
page=$(LC_ALL=C MANWIDTH=1000 man -l "$build/qvchord.1" 2>&1 | col -b)
help=$("$command" --help)
missing=
# the options: every one the help names before its list of tasks
for option in $(printf '%s\n' "$help" | sed '/^[a-z]*s  /,$d' |
  grep -oE -- '(^|[][ (,])--?[a-zA-Z][a-zA-Z0-9-]*' | sed 's/^[][ (,]//' | sort -u); do
  printf '%s\n' "$page" | grep -qE -- "(^|[^a-zA-Z-])$option([^a-zA-Z0-9-]|\$)" ||
    missing="$missing $option"
done
# the tasks, by the names the plug-in lists
tasks=$(printf '%s\n' "$help" | sed -n '/^tasks  /,/^$/{/^  [^ ]/p}' | sed 's/^  //; s/  .*//')
[ -n "$tasks" ] || { echo "no tasks in --help"; exit 1; }
newline='
'
IFS=$newline
for task in $tasks; do
  printf '%s\n' "$page" | grep -qF "       $task" || missing="$missing \"$task\""
done
unset IFS
[ -z "$missing" ] || { echo "not in the manual page:$missing"; exit 1; }
# "Name: directions (spelling, spelling)": each spelling runs that task
wrong=
listed=$(printf '%s\n' "$page" | sed -n '/^TASKS/,/^EXIT/p' | grep '^       [A-Z].*)$')
[ "$(printf '%s\n' "$listed" | wc -l)" -eq "$(printf '%s\n' "$tasks" | wc -l)" ] ||
  { echo "the manual's task list and --help's differ in length"; exit 1; }
printf '%s\n' "$listed" | while IFS= read -r line; do
  line=${line#       }
  case $line in *": "*) name=${line%%: *} ;; *) name=${line% (*} ;; esac
  spellings=${line##*(}
  spellings=${spellings%)}
  while [ -n "$spellings" ]; do
    spelling=${spellings%%, *}
    [ "$spelling" = "$spellings" ] && spellings= || spellings=${spellings#*, }
    said=$("$command" --score "$source/examples/chorale.musicxml" --task "$spelling" --dry-run 2>&1 |
      grep -v '^part ' | grep -E '^(task|no task|[^ ].*: [0-9]+ chords? changed)' | head -1)
    case $said in "$name: "*) ;; *) wrong="$wrong \"$spelling\" ($said)" ;; esac
  done
  [ -z "$wrong" ] || { echo "\"$name\": spellings that do not find it:$wrong"; exit 1; }
done
echo "the manual page has every option and task of --help"

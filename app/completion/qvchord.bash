# bash completion for qvchord: its options, the task names after --task, score files and
# folders. The options and the tasks are read from the command's own --help, so they are those
# of the command installed and its plug-in. The value of an option --NAME comes from the list
# --help heads "NAMEs" (the tasks for --task), offered in a form the command takes and the
# shell needs no quotes for ("Transpose Octave (Chord)" as transpose-octave-chord).

# The help of the command being completed, read once per shell and command.
_qvchord_read_help() {
  if [ "${_qvchord_help_of-}" != "$1" ]; then
    _qvchord_help=$("$1" --help 2>/dev/null)
    _qvchord_help_of=$1
  fi
}

# Every option the help names before its lists.
_qvchord_options() {
  sed '/^[a-z]*s  /,$d' <<<"$_qvchord_help" |
    grep -oE -- '(^|[][ (,])--?[a-zA-Z][a-zA-Z0-9-]*' | sed 's/^[][ (,]//' | sort -u
}

# What the option in $1 takes, as its line in the help names it (FILE, FOLDER, NAME, ...).
_qvchord_argument() {
  sed -n 's/^  \(-[^ ].*\)/\1/p' <<<"$_qvchord_help" | sed 's/  .*//' | tr ',' '\n' |
    sed -n "s/^ *$1 \\([A-Z]*\\)\$/\\1/p" | head -1
}

# The entries of the list headed $1 ("tasks"), lower case, words joined by "-".
_qvchord_values() {
  sed -n "/^$1  /,/^\$/{/^  [^ ]/p}" <<<"$_qvchord_help" | sed 's/^  //; s/  .*//' |
    tr 'A-Z' 'a-z' | sed 's/[^a-z0-9][^a-z0-9]*/-/g; s/^-//; s/-$//'
}

# Folders and the files the command reads as scores.
_qvchord_scores() {
  local f IFS=$'\n'
  for f in $(compgen -f -- "$1"); do
    if [ -d "$f" ]; then
      COMPREPLY+=("$f")
    else
      case ${f,,} in *.musicxml | *.xml | *.mxl) COMPREPLY+=("$f") ;; esac
    fi
  done
  compopt -o filenames 2>/dev/null # folders get their "/"
}

_qvchord() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev= IFS=$'\n'
  [ "$COMP_CWORD" -gt 0 ] && prev=${COMP_WORDS[COMP_CWORD - 1]}
  # bash splits "--task=dr" into "--task" "=" "dr"
  if [ "$cur" = "=" ]; then
    cur=
  elif [ "$prev" = "=" ] && [ "$COMP_CWORD" -gt 1 ]; then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  COMPREPLY=()
  _qvchord_read_help "${COMP_WORDS[0]}"
  case $prev in
  -*)
    case $(_qvchord_argument "$prev") in
    FILE)
      _qvchord_scores "$cur"
      return
      ;;
    FOLDER)
      COMPREPLY=($(compgen -d -- "$cur"))
      compopt -o filenames 2>/dev/null
      return
      ;;
    ?*)
      COMPREPLY=($(compgen -W "$(_qvchord_values "${prev#--}s")" -- "$cur"))
      return
      ;;
    esac
    ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(_qvchord_options)" -- "$cur"))
  else
    _qvchord_scores "$cur"
  fi
}
complete -F _qvchord qvchord

#!/bin/sh
# The guide's check must notice a hand-edited example: the first chord the tool leaves alone is
# written up as changed, and the check has to refuse that copy of the guide and say where.
guide=$1 check=$2
edited=$(mktemp) || exit 1
trap 'rm -f "$edited"' EXIT
sed '0,/| left alone (beep) |$/s//| C4 |/' "$guide" >"$edited"
if cmp -s "$guide" "$edited"; then
  echo "the guide has no example to edit"
  exit 1
fi
line=$(diff "$guide" "$edited" | sed -n 's/^\([0-9]*\)c.*/\1/p')
out=$("$check" --check "$edited" 2>&1) && {
  echo "the check accepted the edited guide"
  exit 1
}
echo "$out"
echo "$out" | grep -q "differ from what the tool does (line $line: "

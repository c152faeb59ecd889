#!/bin/sh
# The plug-in's release archive as a Windows user gets it: exactly the module, the guide, the
# licence and the read-me, the module byte for byte the one built, the guide one file that
# needs nothing beside it. Unpacks it into OUT, where the end-to-end host then loads it.
#   tests/release/archive_test.sh ZIP BUILT_DLL OUT
set -eu
zip=$1
built=$2
out=$3
fail() {
  echo "archive: $*"
  exit 1
}
[ -f "$zip" ] || fail "$zip was not made"
listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "LICENSE.txt QVChordShaper.dll README.txt guide.html " ] || fail "it holds: $listed"
rm -rf "$out"
mkdir -p "$out"
unzip -q "$zip" -d "$out"
cmp "$built" "$out/QVChordShaper.dll" || fail "its module is not the one built"
grep -q "^Copyright (c) 2026 The QV Chord Shaper developers" "$out/LICENSE.txt" || fail "no licence"
grep -q "Copy QVChordShaper.dll into the folder your host loads plug-in modules from" \
  "$out/README.txt" || fail "the read-me does not say how to install"
# Every picture inside the guide; no address that would need a file beside it.
guide="$out/guide.html"
grep -q '<h2 id="installing-the-plug-in">Installing the plug-in</h2>' "$guide" || fail "no guide"
pictures=$(grep -o '<img src="data:image/[a-z+]*;base64,' "$guide" | wc -l)
[ "$pictures" -ge 20 ] || fail "the guide has $pictures pictures inside"
outside=$(grep -oE '(src|href)="[^"#][^"]*"' "$guide" | grep -vE '"(data:|https?:|mailto:)' || true)
[ -z "$outside" ] || fail "the guide needs files beside it: $(echo "$outside" | head -3)"
echo "archive: $(basename "$zip") holds $listed"

#!/bin/sh
# The command's Debian package as a Linux user gets it: its control fields, its files (the
# page among them when it was built), no lintian error, and unpacked into a folder of its own
# its qvchord runs from there, writes on the example what ./run writes, and its manual page
# opens with man.
#   tests/release/package_test.sh DEB SOURCE
set -eu
deb=$1
source=$(cd "$2" && pwd)
fail() {
  echo "package: $*"
  exit 1
}
[ -f "$deb" ] || fail "$deb was not made"
[ "$(dpkg-deb -f "$deb" Package)" = qvchord ] || fail "not named qvchord"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libpugixml1v5 libzip4; do
  case $depends in *"$library"*) ;; *) fail "does not depend on $library: $depends" ;; esac
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected="./usr/bin/qvchord ./usr/lib/qvchord/QVChordShaper.so ./usr/lib/qvchord/libwinshim.so
./usr/share/man/man1/qvchord.1.gz ./usr/share/bash-completion/completions/qvchord
./usr/share/zsh/vendor-completions/_qvchord ./usr/share/doc/qvchord/copyright
./usr/share/doc/qvchord/changelog.gz ./usr/share/doc/qvchord/guide.html"
if [ -f "$source/build/web/site/index.html" ]; then
  expected="$expected ./usr/share/qvchord/build/web/site/index.html ./usr/share/qvchord/web/serve.mjs"
fi
for file in $expected; do
  printf '%s\n' "$files" | grep -qxF "$file" || fail "no $file"
done
errors=$(lintian "$deb" 2>&1 | grep '^E:' || true)
[ -z "$errors" ] || fail "lintian: $errors"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
qvchord="$scratch/root/usr/bin/qvchord"
cp "$source/examples/chorale.musicxml" "$scratch/chorale.musicxml"
"$qvchord" --score "$scratch/chorale.musicxml" --task drop2 --out "$scratch/packaged.musicxml" \
  >"$scratch/out.txt" 2>&1 || { cat "$scratch/out.txt"; fail "its qvchord failed"; }
"$source/run" --score "$scratch/chorale.musicxml" --task drop2 --out "$scratch/run.musicxml" \
  >/dev/null
cmp "$scratch/packaged.musicxml" "$scratch/run.musicxml" || fail "its qvchord writes other bytes"
man -l "$scratch/root/usr/share/man/man1/qvchord.1.gz" 2>/dev/null | col -b |
  grep -q "qvchord - revoice the chords of MusicXML scores" || fail "man does not show its page"
echo "package: $(basename "$deb"), $(printf '%s\n' "$files" | grep -c '[^/]$') files, depends on $depends"

#!/bin/sh
# The guide's pictures of the examples are what Verovio draws of what the tool does now: the
# examples are made again, drawn again and compared with docs/notation/*.svg.
source=$1 examples=$2
scores=$(mktemp -d) || exit 1
trap 'rm -rf "$scores"' EXIT
# Verovio comes from the web page's lockfile, as the page gets it (web/build.sh does the same).
if [ ! -f "$source/web/node_modules/.package-lock.json" ] ||
  [ "$source/web/package-lock.json" -nt "$source/web/node_modules/.package-lock.json" ]; then
  (cd "$source/web" && npm ci --no-audit --no-fund) >"$scores/npm.log" 2>&1 || {
    cat "$scores/npm.log"
    exit 1
  }
fi
"$examples" --notation "$scores" || exit 1
node "$source/docs/tools/notation.mjs" "$scores" "$source/docs/notation" --check || exit 1
# and no picture the guide no longer shows
for picture in "$source"/docs/notation/*.svg; do
  [ -f "$scores/$(basename "$picture" .svg).musicxml" ] || {
    echo "$picture: no example draws it any more"
    exit 1
  }
done

#!/usr/bin/env bash
# Runs every fuzz target (fuzz/*_fuzz.cpp), one after the other, for SECONDS each (default
# 300), after building them with the preset "fuzz". Prints each target's executions and
# coverage; exits non-zero when a target found something (the input is kept in
# build/fuzz/crashes/, the log in build/fuzz/logs/).
#   ./fuzz.sh [SECONDS]
set -u -o pipefail
cd "$(dirname "$0")"
. ./tools/setup.sh
. ./tools/fuzz.sh
ensure_tools

seconds=${1:-300}
case $seconds in '' | *[!0-9]*)
  echo "usage: ./fuzz.sh [SECONDS]"
  exit 2
  ;;
esac
jobs=2
if ! build_fuzz; then
  grep -E -m 20 "error|Error" build-fuzz.log || tail -20 build-fuzz.log
  echo "fuzz: build failed (build-fuzz.log)"
  exit 1
fi
found=0
for target in $(fuzz_targets); do
  run_fuzz_target "$target" "$seconds" || found=$((found + 1))
done
echo "$found of $(fuzz_targets | wc -l) targets found something"
[ "$found" -eq 0 ]

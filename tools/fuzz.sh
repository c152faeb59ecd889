# Sourced by ./fuzz and ./test: builds the fuzz targets (preset "fuzz", clang) and runs them.
# Each target starts from its seeds in tests/fuzz/corpus/<target>/ and from what earlier runs found in
# build/fuzz/corpus/<target>/ (new finds go there, the seeds are only read). An input that
# crashes, leaks, breaks a check or runs longer than 10 seconds is kept as
# build/fuzz/crashes/<target>-<kind>-<hash> and the run counts as failed.

# The targets built, one per line.
fuzz_targets() {
  local f
  for f in tests/fuzz/*_fuzz.cpp; do
    [ -f "$f" ] && basename "$f" .cpp
  done
}

# Configures and builds the fuzz preset; the output goes to build-fuzz.log.
build_fuzz() {
  { cmake --preset fuzz && cmake --build build/fuzz -j"${jobs:-2}"; } >build-fuzz.log 2>&1
}

# Runs one target for the seconds given, alone; prints one line with its executions and
# libFuzzer's coverage (cov: edges, ft: features). Answers non-zero when it found something.
run_fuzz_target() {
  local target=$1 seconds=$2 exe=${QV_FUZZ_BIN:-build/fuzz/fuzz}/$1 log=build/fuzz/logs/$1.log
  local status last runs
  if [ ! -x "$exe" ]; then
    echo "fuzz $target: not built"
    return 1
  fi
  mkdir -p "build/fuzz/corpus/$target" build/fuzz/crashes build/fuzz/logs "tests/fuzz/corpus/$target"
  # libFuzzer stops on its own after max_total_time; the outer limit is for a stuck process.
  timeout $((seconds + 120)) "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/crashes/$target-" \
    "build/fuzz/corpus/$target" "tests/fuzz/corpus/$target" >"$log" 2>&1
  status=$?
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $target: ${runs:-0} runs (budget ${seconds}s) $(grep -oE 'cov: [0-9]+ ft: [0-9]+' <<<"$last")"
  if [ $status -ne 0 ]; then
    grep -E "ERROR|runtime error|check failed|Test unit written" "$log" | head -4 | sed "s/^/fuzz $target: /"
    return 1
  fi
  return 0
}

#!/usr/bin/env bash
# Usage: tools/fuzz.sh [SECONDS [TARGET...]]
# Runs each libFuzzer target (default: all) for SECONDS (default 60) on a working
# copy of its seed corpus under build/fuzz/, printing one line per target with
# its run count and rate. Exits non-zero when a target crashes (the input is kept
# in build/fuzz/artifacts/). FUZZ_BUILD_DIR chooses another build folder;
# FUZZ_RUNS stops a target after that many runs.
set -u
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift $(($# > 0))
build="${FUZZ_BUILD_DIR:-build/fuzz}"
# The reader's target writes each input to a file: memory-backed is much faster.
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# A smaller quarantine for freed memory: far fewer page faults, still catches
# the use of a block freed within the same input.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"

targets=${*:-$(sed -n 's/^ *set(KELVANE_FUZZ_TARGETS \(.*\))/\1/p' tests/fuzz/targets.cmake)}
# Only the fuzz targets: the rest of the tree is not linked with the fuzzer runtime.
if ! { cmake --preset fuzz -B "$build" >/dev/null &&
       cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' $targets) >"$build/build.log" 2>&1; }; then
  echo "fuzz build failed (see $build/build.log)"
  exit 1
fi

status=0
mkdir -p "$build/artifacts"
for target in $targets; do
  work="$build/corpus/$target"
  mkdir -p "$work"
  cp -n tests/fuzz/corpus/"$target"/* "$work"/ 2>/dev/null
  log="$build/$target.log"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  files=$(find "$work" -type f | wc -l)
  if [ $rc -eq 0 ]; then
    echo "$target: ok, ${runs:-?} runs at ${rate:-?}/s (at most ${seconds}s), corpus $files files"
  else
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    echo "$target: FAILED (exit $rc) after ${runs:-?} runs; input ${artifact:-not saved}, log $log"
    status=1
  fi
done
exit $status

#!/usr/bin/env bash
# Benchmarks (make bench). Not tests: they print numbers and compare them with
# the targets, and fail only when something could not be run.
#
# Layout: common set-up first, then one section per benchmark, each a function
# run with run_section. A new section is appended at the end of this file:
#     section_name() { ...; }
#     run_section section_name
# The summary is printed when the script exits.
#
# Environment: BENCH_BUILD_DIR (default build/native), BENCH_DIR for the
# generated files (default build/bench), BENCH_MB (size of the large file, 100).
set -u
cd "$(dirname "$0")/.."

BENCH_BUILD_DIR="${BENCH_BUILD_DIR:-build/native}"
BENCH_DIR="${BENCH_DIR:-build/bench}"
BENCH_MB="${BENCH_MB:-100}"
mkdir -p "$BENCH_DIR"

bench_status=0
bench_summary=()
trap 'echo; echo "== bench summary"; printf "%s\n" "${bench_summary[@]}"; exit $bench_status' EXIT

# run_section NAME: runs the function NAME, noting its outcome in the summary.
run_section() {
  echo
  echo "== $1"
  if "$1"; then
    bench_summary+=("$1: done")
  else
    bench_summary+=("$1: FAILED")
    bench_status=1
  fi
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

# build_target PRESET DIR TARGET: configures and builds one target, or says why not.
build_target() {
  cmake --preset "$1" -B "$2" >/dev/null && cmake --build "$2" -j2 --target "$3" >/dev/null && return 0
  echo "could not build $3 ($1 build in $2)"
  return 1
}

# ---------------------------------------------------------------------------
# The SubRip reader: skipping to a late start offset through a large file.
section_srt_reader() {
  local build="$BENCH_BUILD_DIR"
  build_target native "$build" srt_reader_bench || return 1
  local bench="$build/bin/srt_reader_bench"
  local lf="$BENCH_DIR/srt_lf.srt" crlf="$BENCH_DIR/srt_crlf.srt" small="$BENCH_DIR/srt_small.srt"
  echo "generating ${BENCH_MB} MB files (LF and CR LF) and a 1 MB file in $BENCH_DIR"
  "$bench" generate "$lf" "$BENCH_MB" lf | sed 's/^/  LF: /' || return 1
  "$bench" generate "$crlf" "$BENCH_MB" crlf | sed 's/^/  CR LF: /' || return 1
  "$bench" generate "$small" 1 crlf >/dev/null || return 1

  local json="$BENCH_DIR/srt_reader.json"
  "$bench" --file="$lf" --file="$crlf" --benchmark_min_time=2 \
    --benchmark_out="$json" --benchmark_out_format=json || return 1

  # The memory-speed yardstick: wc -l on the same file, best of three.
  local best=0 t0 t1 ms
  for _ in 1 2 3; do
    t0=$(now_ms); wc -l "$lf" >/dev/null; t1=$(now_ms)
    ms=$((t1 - t0)); [ "$ms" -lt 1 ] && ms=1
    if [ "$best" -eq 0 ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  local bytes
  bytes=$(stat -c %s "$lf")

  # Peak resident size: skipping through the large file against the small one.
  local rss_big rss_small
  rss_big=$("$bench" rss "$lf") || return 1
  rss_small=$("$bench" rss "$small") || return 1

  python3 - "$json" "$bytes" "$best" "$rss_big" "$rss_small" <<'PY'
import json, sys
report, size, wc_ms, rss_big, rss_small = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
wc_mbs = size / 1e6 / (wc_ms / 1000)
print(f"wc -l: {wc_mbs:.0f} MB/s ({wc_ms} ms for {size / 1e6:.0f} MB)")
for b in json.load(open(report))["benchmarks"]:
    mbs = b["bytes_per_second"] / 1e6
    cues = b["cues_per_second"] / 1e6
    verdict = "meets" if mbs >= 400 else "BELOW"
    print(f"{b['name']}: {mbs:.0f} MB/s, {cues:.2f} M cues/s, {mbs / wc_mbs:.2f} x wc -l "
          f"({verdict} the 400 MB/s target)")
growth = rss_big - rss_small
verdict = "within" if growth <= 1024 else "ABOVE"
print(f"peak resident size: {rss_big} KiB for {size / 1e6:.0f} MB, {rss_small} KiB for 1 MB: "
      f"{growth:+d} KiB ({verdict} the 1 MB target)")
PY
}
run_section section_srt_reader

# ---------------------------------------------------------------------------
# Playback accuracy under Wine: the real schedule on a real timer loop, run twice
# (the 100 ms timer alone; with the one-shot timer aimed at the next change),
# over a generated file of 110 cues whose starts lie 200-700 ms apart (about a
# minute). Prints the lateness of every show and clear change against its due
# time (min / median / p99 / max) and the drift over the run.
# Builds a Windows benchmark and runs it under a Wine session of its own, with 110 cues.
run_wine_bench() {
  local build="${BENCH_WIN_BUILD_DIR:-build/win}"
  build_target win "$build" "$1" || return 1
  (
    source tools/wine-session.sh
    wine_session_begin own
    status=0
    tools/wine-run "$build/bin/$1.exe" 110 | tr -d '\r' || status=1
    wine_session_end
    exit $status
  )
}
section_playback_accuracy() { run_wine_bench playback_accuracy; }
run_section section_playback_accuracy

# ---------------------------------------------------------------------------
# The WebVTT and ASS/SSA readers: every cue of a large file read (WebVTT forward in
# constant memory; ASS/SSA whole and sorted, within 3 x the file's size).
section_cue_readers() {
  local build="$BENCH_BUILD_DIR"
  build_target native "$build" cue_reader_bench || return 1
  local bench="$build/bin/cue_reader_bench"
  local vtt="$BENCH_DIR/cues.vtt" small="$BENCH_DIR/cues_small.vtt" ass="$BENCH_DIR/cues.ass"
  echo "generating a ${BENCH_MB} MB WebVTT file, a 1 MB one and a 50 MB ASS script in $BENCH_DIR"
  "$bench" generate vtt "$vtt" "$BENCH_MB" | sed 's/^/  WebVTT: /' || return 1
  "$bench" generate vtt "$small" 1 >/dev/null || return 1
  "$bench" generate ass "$ass" 50 | sed 's/^/  ASS: /' || return 1

  local json="$BENCH_DIR/cue_readers.json"
  "$bench" --file="$vtt" --file="$ass" --benchmark_min_time=2 \
    --benchmark_out="$json" --benchmark_out_format=json || return 1

  local rss_vtt rss_small rss_ass
  rss_vtt=$("$bench" rss "$vtt") || return 1
  rss_small=$("$bench" rss "$small") || return 1
  rss_ass=$("$bench" rss "$ass") || return 1

  python3 - "$json" "$(stat -c %s "$ass")" "$rss_vtt" "$rss_small" "$rss_ass" <<'PY'
import json, sys
report, ass_size, rss_vtt, rss_small, rss_ass = sys.argv[1], *map(int, sys.argv[2:])
for b in json.load(open(report))["benchmarks"]:
    mbs, target = b["bytes_per_second"] / 1e6, 400 if b["name"].endswith(".vtt") else 100
    print(f"{b['name']}: {mbs:.0f} MB/s, {b['cues_per_second'] / 1e6:.2f} M cues/s "
          f"({'meets' if mbs >= target else 'BELOW'} the {target} MB/s target)")
growth = rss_vtt - rss_small
print(f"WebVTT peak resident size: {rss_vtt} KiB for the large file, {rss_small} KiB for 1 MB: {growth:+d} KiB "
      f"({'within' if growth <= 1024 else 'ABOVE'} the 1 MB target)")
ratio = rss_ass * 1024 / ass_size
print(f"ASS peak resident size: {rss_ass} KiB for {ass_size / 1e6:.0f} MB: {ratio:.2f} x the file "
      f"({'within' if ratio <= 3 else 'ABOVE'} the 3 x target)")
PY
}
run_section section_cue_readers

# ---------------------------------------------------------------------------
# Following a film player under Wine: the real controller on the player clock,
# through the real pipe and sockets, against the stubs of mpv, MPC and VLC (110
# cues each, then six seeks). Prints how late or early each change came against
# the stub's film, and how soon a seek's cue was shown.
section_player_follow() { run_wine_bench player_follow; }
run_section section_player_follow

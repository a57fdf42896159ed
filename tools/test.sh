#!/usr/bin/env bash
# Builds everything and runs every suite: the portable core natively (plain and
# with sanitizers, fuzz corpora replayed) and the Windows build under Wine in Xvfb.
# Ends with one line "N passed, N failed" over all suites.
set -u
cd "$(dirname "$0")/.."
bash tools/deps.sh || exit 1

status=0
builds=(native native-asan win)
for preset in "${builds[@]}"; do
  rm -f "build/$preset/ctest-junit.xml" "build/$preset"/test-results/*.xml
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
    echo "build $preset failed"
    status=1
  fi
done

source tools/wine-session.sh
wine_session_begin own
for preset in "${builds[@]}"; do
  [ -f "build/$preset/build.ninja" ] || continue
  ctest --preset "$preset" --output-junit ctest-junit.xml || status=1
done
wine_session_end

python3 tools/summarize.py "${builds[@]/#/build/}" || status=1
exit $status

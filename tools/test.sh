#!/usr/bin/env bash
# Builds everything and runs every suite: the portable core natively (plain and
# with sanitizers, fuzz corpora replayed) and the Windows build under Wine in Xvfb.
# Ends with one line "N passed, N failed" over all suites, also when a build or
# the set-up fails.
set -u
cd "$(dirname "$0")/.."
bash tools/deps.sh || { echo "the packages could not be installed"; echo "0 passed, 1 failed"; exit 1; }

status=0
builds=(native native-asan win)
built=()
for preset in "${builds[@]}"; do
  rm -f "build/$preset/ctest-junit.xml" "build/$preset"/test-results/*.xml
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; then
    built+=("$preset")
  else
    echo "build $preset failed: its tests are not run and count as one failure"
    status=1
  fi
done

source tools/wine-session.sh
wine_session_begin own
for preset in "${built[@]}"; do
  ctest --preset "$preset" --output-junit ctest-junit.xml || status=1
done
wine_session_end

mkdir -p build
python3 tools/summarize.py "${builds[@]/#/build/}" | tee build/summary.txt
[ "${PIPESTATUS[0]}" = 0 ] || status=1
if ! tail -n 1 build/summary.txt | grep -Eq '^[0-9]+ passed, [0-9]+ failed'; then
  echo "the summary failed"
  echo "0 passed, 1 failed"
  status=1
fi
exit $status

#!/usr/bin/env bash
# Starts Kelvane under Wine. With a usable X display it runs there, in the
# working folder build/run/ (where its Kelvane.DAT lives between runs), until
# the user leaves it. Without one it runs the demo in a private Xvfb instead
# (tools/demo.sh), which saves screenshots in build/screens/ and prints their paths.
# `make run` builds first; this script only runs what is built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
exe="${KELVANE_EXE:-$root/build/win/bin/Kelvane.exe}"

if [ ! -f "$exe" ]; then
  echo "run: $exe is missing (run 'make build' first)" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  mkdir -p build/run
  cd build/run
  exec "$root/tools/wine-run" "$exe"
fi
KELVANE_EXE="$exe" exec bash "$root/tools/demo.sh"

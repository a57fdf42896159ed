#!/usr/bin/env bash
# Starts Kelvane under Wine in the working folder build/run/ (where its settings
# file Kelvane.DAT lives between runs).
# - With a usable X display: runs it there until the user leaves it.
# - Without one: starts a private Xvfb, starts Kelvane, waits for the control
#   panel, saves a screenshot of it as build/screens/panel.png, prints the path
#   and ends the program the way a user closing the window would.
# `make run` builds first; this script only runs what is built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
exe="${KELVANE_EXE:-$root/build/win/bin/Kelvane.exe}"
run_dir="$root/build/run"
screens="$root/build/screens"

if [ ! -f "$exe" ]; then
  echo "run: $exe is missing (run 'make build' first)" >&2
  exit 1
fi
mkdir -p "$run_dir" "$screens"

# ---- helpers (also for screenshots of further windows) ---------------------

kelvane_pid=""

# start_kelvane [ARGS...]: starts Kelvane.exe in build/run/ in the background.
start_kelvane() {
  (cd "$run_dir" && exec "$root/tools/wine-run" "$exe" "$@") >/dev/null 2>&1 &
  kelvane_pid=$!
}

# find_window TITLE [MIN_WIDTH]: prints "id width height x y" of the first
# mapped top-level X window with exactly that title (and at least that width).
find_window() {
  local title="$1" min_width="${2:-1}"
  xwininfo -root -children 2>/dev/null | awk -v t="\"$title\":" -v mw="$min_width" '
    index($0, t) {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) geo = $i
      split(geo, a, /[x+]/)
      if (a[1] >= mw) { print $1, a[1], a[2]; exit }
    }' | while read -r id w h; do
      # Absolute position and whether it is shown, from the window itself.
      local info x y
      info=$(xwininfo -id "$id" 2>/dev/null) || continue
      grep -q "Map State: IsViewable" <<<"$info" || continue
      x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
      y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
      echo "$id $w $h $x $y"
    done
}

# wait_window TITLE [MIN_WIDTH] [SECONDS]: polls until find_window succeeds.
wait_window() {
  local title="$1" min_width="${2:-1}" seconds="${3:-60}" found=""
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    found=$(find_window "$title" "$min_width")
    if [ -n "$found" ]; then echo "$found"; return 0; fi
    sleep 0.2
  done
  return 1
}

# shot_window "id w h x y" FILE: saves the screen area of that window as FILE,
# once two grabs in a row agree (the window has finished painting).
shot_window() {
  local w h x y previous="" current
  read -r _ w h x y <<<"$1"
  for _ in $(seq 50); do
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
    current=$(md5sum <"$2")
    [ "$current" = "$previous" ] && return 0
    previous=$current
    sleep 0.2
  done
}

# end_kelvane: asks Kelvane to close (a close request saves its settings like
# Exit), then waits for it; forces it only if it does not end.
end_kelvane() {
  [ -n "$kelvane_pid" ] || return 0
  "$root/tools/wine-run" taskkill /im Kelvane.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do
    kill -0 "$kelvane_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$kelvane_pid" 2>/dev/null; then
    "$root/tools/wine-run" taskkill /f /im Kelvane.exe >/dev/null 2>&1 || true
  fi
  wait "$kelvane_pid" 2>/dev/null || true
  kelvane_pid=""
}

# ---- on the user's display -------------------------------------------------

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$run_dir"
  exec "$root/tools/wine-run" "$exe"
fi

# ---- headless: Xvfb and screenshots ----------------------------------------

source "$root/tools/wine-session.sh"
wine_session_begin own

finish() {
  end_kelvane
  wine_session_end
}
trap finish EXIT

# A settings file left empty by a run that was ended from outside holds nothing;
# without it the panel opens clean instead of reporting it.
if [ -f "$run_dir/Kelvane.DAT" ] && [ ! -s "$run_dir/Kelvane.DAT" ]; then
  rm -f "$run_dir/Kelvane.DAT"
fi

start_kelvane
if ! panel=$(wait_window "Kelvane"); then
  echo "run: the Kelvane control panel did not appear" >&2
  exit 1
fi
shot_window "$panel" "$screens/panel.png"
echo "$screens/panel.png"
end_kelvane

# Then the playback demo in a session of its own: batch mode over a painted
# scene, with screenshots of the panel and the overlay in both modes.
finish
trap - EXIT
bash "$root/tools/demo.sh"

#!/usr/bin/env bash
# Headless demo of Kelvane under Wine in a private Xvfb, with screenshots:
#   build/screens/panel.png               the control panel with a saved record
#   build/screens/overlay-framed.png      the framed overlay showing a cue
#   build/screens/overlay-seethrough.png  batch mode: the see-through overlay
#                                          over a painted scene (tools/backdrop.cpp)
#   build/screens/options.png             the options dialog (panel's system menu)
#   build/screens/overlay-live.png        option: live see-through over the scene
#   build/screens/overlay-outline.png     option: outlined text, framed overlay
#   build/screens/overlay-tags.png        option: formatting tags drawn as styles
# The settings file is written from its byte layout and points at samples/demo.srt.
# Called by tools/run.sh (which checks that Kelvane.exe is built) when there is
# no display; prints the screenshot paths.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
exe="${KELVANE_EXE:-$root/build/win/bin/Kelvane.exe}"
demo_dir="$root/build/demo"
screens="$root/build/screens"
backdrop="$root/build/tools/backdrop.exe"
mkdir -p "$demo_dir" "$screens" "$root/build/tools"
if [ ! -f "$backdrop" ] || [ "$root/tools/backdrop.cpp" -nt "$backdrop" ]; then
  x86_64-w64-mingw32-g++-posix -O2 -static -mwindows -o "$backdrop" "$root/tools/backdrop.cpp"
fi

source "$root/tools/wine-session.sh"
wine_session_begin own

pids=()
finish() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine_session_end
}
trap finish EXIT

# ---- the saved record ----------------------------------------------------------
overlay_rect=(420 520 1220 700)  # left top right bottom, screen coordinates
write_settings() {
  local srt
  srt=$("$root/tools/wine-run" winepath -w "${1:-$root/samples/demo.srt}" 2>/dev/null | tr -d '\r')
  python3 - "$demo_dir/Kelvane.DAT" "$srt" "${overlay_rect[@]}" <<'EOF'
import struct, sys
out, path = sys.argv[1], sys.argv[2].encode('latin-1')
left, top, right, bottom = map(int, sys.argv[3:7])
rec = struct.pack('<iiiiiI', 0, 0, 0, 0, 0, 0x0000FFFF)  # delay, h, m, s, ms, yellow
assert len(path) < 255
rec += bytes([len(path)]) + path
rec += struct.pack('<iiii', left, top, right, bottom)
# LOGFONTA: height, width, escapement, orientation, weight; italic, underline,
# strike-out, charset, out precision, clip precision, quality, pitch and family; face.
rec += struct.pack('<iiiii8B32s', -34, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 4, 0x22, b'Tahoma')
open(out, 'wb').write(rec)
EOF
}

# ---- windows and screenshots ---------------------------------------------------
# window_geometry TITLE: "w h x y" of the mapped X window with exactly that title.
window_geometry() {
  local id info
  id=$(xwininfo -root -children 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) {print $1; exit}')
  [ -n "$id" ] || return 1
  info=$(xwininfo -id "$id" 2>/dev/null) || return 1
  grep -q "Map State: IsViewable" <<<"$info" || return 1
  awk '/^  Width:/ {w=$2} /^  Height:/ {h=$2} /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
       END {print w, h, x, y}' <<<"$info"
}
wait_geometry() {
  local end=$((SECONDS + 60)) found
  while [ $SECONDS -lt $end ]; do
    found=$(window_geometry "$1") && [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.2
  done
  echo "demo: window \"$1\" did not appear" >&2
  return 1
}
# shot W H X Y FILE
shot() {
  import -window root -crop "${1}x${2}+${3}+${4}" +repage "$5"
}
start_kelvane() {
  (cd "$demo_dir" && exec "$root/tools/wine-run" "$exe" "$@") >/dev/null 2>&1 &
  pids+=($!)
}
end_kelvane() {
  "$root/tools/wine-run" taskkill /im Kelvane.exe >/dev/null 2>&1 || true
  for _ in $(seq 100); do
    "$root/tools/wine-run" tasklist 2>/dev/null | grep -qi kelvane.exe || return 0
    sleep 0.1
  done
  "$root/tools/wine-run" taskkill /f /im Kelvane.exe >/dev/null 2>&1 || true
}

overlay_title="Subtitle Window - Resize and doble left click to make transparent"

rm -f "$demo_dir/Kelvane.ini"  # the options at their defaults until section 3

# ---- 1: the panel, then Start (Enter): the framed overlay with a cue -------------
"$root/tools/wine-run" "$backdrop" >/dev/null 2>&1 &
pids+=($!)
wait_geometry "Kelvane backdrop" >/dev/null
write_settings
start_kelvane
read -r w h x y < <(wait_geometry "Kelvane")
sleep 1
shot "$w" "$h" "$x" "$y" "$screens/panel.png"
echo "$screens/panel.png"

xdotool key Return  # the panel has the focus; Enter is its default button, Start
read -r w h x y < <(wait_geometry "$overlay_title")
sleep 2  # the first cue shows from 0.8 s to 4 s
shot "$w" "$h" "$x" "$y" "$screens/overlay-framed.png"
echo "$screens/overlay-framed.png"
end_kelvane

# ---- 2: batch mode: minimised panel, see-through overlay over the scene ---------
write_settings
start_kelvane batchmode
read -r w h x y < <(wait_geometry "$overlay_title")
sleep 2
# The overlay's area and a margin of the scene around it.
shot $((w + 160)) $((h + 120)) $((x - 80)) $((y - 60)) "$screens/overlay-seethrough.png"
echo "$screens/overlay-seethrough.png"
end_kelvane

# ---- 3: the options dialog, from the panel's system menu, following VLC -----------
write_settings
printf '[Player]\r\nFollow=vlc\r\nVlcPassword=secret\r\n' >"$demo_dir/Kelvane.ini"
start_kelvane
wait_geometry "Kelvane" >/dev/null
sleep 1
xdotool key alt+space
sleep 0.5
xdotool key o  # "&Options..."
read -r w h x y < <(wait_geometry "Kelvane Options")
sleep 0.5
xdotool key alt+k  # Check: no VLC here, and why
sleep 1.5
shot "$w" "$h" "$x" "$y" "$screens/options.png"
echo "$screens/options.png"
end_kelvane

# ---- 4: each option from a hand-written Kelvane.ini --------------------------------
# option_shot FILE INI-LINES [SRT]: batch mode (see-through) or, for a FILE with
# "framed" in its name, the framed overlay after Start; one cue showing.
option_shot() {
  printf '[Options]\r\n%s' "$2" >"$demo_dir/Kelvane.ini"
  write_settings "${3:-}"
  case "$1" in
    *framed*|*outline*|*tags*)
      start_kelvane
      wait_geometry "Kelvane" >/dev/null
      sleep 1
      xdotool key Return
      read -r w h x y < <(wait_geometry "$overlay_title")
      sleep 2
      shot "$w" "$h" "$x" "$y" "$1" ;;
    *)
      start_kelvane batchmode
      read -r w h x y < <(wait_geometry "$overlay_title")
      sleep 2
      shot $((w + 160)) $((h + 120)) $((x - 80)) $((y - 60)) "$1" ;;
  esac
  echo "$1"
  end_kelvane
}
printf '1\n00:00:00,500 --> 00:00:09,000\n<i>The lighthouse keeper</i> counts <b>the ships</b>\nthat <font color="#1E90FF">never</font> come <u>home</u>.\n\n' \
  >"$demo_dir/tags.srt"
option_shot "$screens/overlay-live.png" $'LiveSeeThrough=1\r\n'
option_shot "$screens/overlay-outline.png" $'Outline=1\r\nOutlineWidth=3\r\nOutlineColor=#000000\r\n'
option_shot "$screens/overlay-tags.png" $'FormattingTags=1\r\n' "$demo_dir/tags.srt"

#!/usr/bin/env bash
# Source this file to get an X display (Xvfb when none is usable), a ready Wine
# prefix and one persistent wineserver; call wine_session_end when done.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
KELVANE_XVFB_PID=""
KELVANE_UNMANAGED=""
KELVANE_REDIRECT_PID=""

wine_session_begin() {
  local want_own_display="${1:-}"
  if [ -n "$want_own_display" ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    KELVANE_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    # Keep covered windows' pixels, as a compositing desktop does, so a
    # see-through overlay can copy the windows beneath it.
    local redirect="$here/build/tools/xredirect"
    if [ ! -x "$redirect" ] || [ "$here/tools/xredirect.c" -nt "$redirect" ]; then
      mkdir -p "$here/build/tools"
      cc -O2 -o "$redirect" "$here/tools/xredirect.c" -lX11 -lXcomposite 2>/dev/null || true
    fi
    if [ -x "$redirect" ]; then
      "$redirect" &
      KELVANE_REDIRECT_PID=$!
    fi
  fi
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
  fi
  # Wine's own caption-button and dialog fonts, where this Wine does not find
  # them. The prefix's font table names sserife.fon in its own Fonts folder for
  # "MS Sans Serif", the dialogs' font: without it a wider face stands in, with
  # other dialog units, and the panel's labels are cut.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  for font in marlett.ttf ms_sans_serif.ttf sserife.fon; do
    if [ -f "/usr/share/wine/fonts/$font" ] && [ -d "$fonts" ] && [ ! -f "$fonts/$font" ]; then
      cp "/usr/share/wine/fonts/$font" "$fonts/" 2>/dev/null || true
    fi
  done
  wineserver -p >/dev/null 2>&1 || true
  # A crash ends the program with a backtrace on stderr, not with a dialog that waits for a click.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  # Our own Xvfb has no window manager. Wine would wait up to 2 s for one at
  # every hide of a managed window (a see-through overlay hides at each text
  # change): leave all windows unmanaged for this session, undone at its end.
  if [ -n "$KELVANE_XVFB_PID" ] && \
     ! wine reg query 'HKCU\Software\Wine\X11 Driver' /v Managed >/dev/null 2>&1; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
      KELVANE_UNMANAGED=1
  fi
}

wine_session_end() {
  if [ -n "${KELVANE_UNMANAGED:-}" ]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
    KELVANE_UNMANAGED=""
  fi
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$KELVANE_REDIRECT_PID" ]; then
    kill "$KELVANE_REDIRECT_PID" 2>/dev/null || true
    wait "$KELVANE_REDIRECT_PID" 2>/dev/null || true
    KELVANE_REDIRECT_PID=""
  fi
  if [ -n "$KELVANE_XVFB_PID" ]; then
    kill "$KELVANE_XVFB_PID" 2>/dev/null || true
    wait "$KELVANE_XVFB_PID" 2>/dev/null || true
  fi
}

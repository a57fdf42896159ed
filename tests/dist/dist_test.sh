#!/usr/bin/env bash
# The packages under Wine: the zip's listing, its program's manifest, and the program opening a file; the MSI
# installed quietly (files, Start-menu shortcut started in the install folder, "Open with" entries) and its
# program opening a file; a newer package over it replacing it in place; the uninstall leaving only the user's
# own files.
# Usage: dist_test.sh KELVANE_EXE VERSION E2E_TESTS_EXE WORK_FOLDER (inside a Wine session)
set -euo pipefail
export LC_ALL=C  # the order of listings
exe=$1 version=$2 e2e=$3 work=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
wine() { "$root/tools/wine-run" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work"
next=${version%.*}.$((${version##*.} + 1))
v1=Kelvane-$version-win64 v2=Kelvane-$next-win64
bash "$root/tools/dist.sh" "$exe" "$version" "$work" >/dev/null
bash "$root/tools/dist.sh" "$exe" "$next" "$work" >/dev/null
# The e2e test that starts a program with a quoted file and reads the field back; it alone must have passed.
opens_file() { (cd "$work" && wine "$e2e" '--gtest_filter=PanelTest.WithAFileArgument*' "--kelvane=$1" >e2e.log) &&
  [ "$(grep -c '^\[       OK \]' "$work/e2e.log")" = 1 ] || { cat "$work/e2e.log"; fail "$2: no file opened"; }; }

[ "$(unzip -Z1 "$work/$v1.zip" | sort | tr '\n' ' ')" = \
  "$v1/ $v1/Kelvane.exe $v1/LICENSE.txt $v1/README.txt $v1/demo.srt " ] || fail "zip listing"
unzip -q "$work/$v1.zip" -d "$work/unzipped"
for part in Microsoft.Windows.Common-Controls '>PerMonitorV2, PerMonitor<' asInvoker supportedOS; do
  grep -qF "$part" "$work/unzipped/$v1/Kelvane.exe" || fail "the program's manifest lacks $part"
done
opens_file "$work/unzipped/$v1/Kelvane.exe" zip

trap 'wine msiexec /x "$(wine winepath -w "$work/$v2.msi")" /qn; wine msiexec /x "$(wine winepath -w "$work/$v1.msi")" /qn' EXIT
windir="$(wine cmd /c echo %LOCALAPPDATA%)\\Programs\\Kelvane"
dir=$(wine winepath -u "$windir")
rm -rf "$dir"  # the test prefix's leftovers of an earlier run
wine msiexec /i "$(wine winepath -w "$work/$v1.msi")" /qn || fail "install"
lnk=$(wine winepath -u "$(wine cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs\\Kelvane.lnk")
[ "$(ls "$dir" | tr '\n' ' ')" = "Kelvane.exe LICENSE.txt README.txt demo.srt " ] || fail "installed files: $(ls "$dir" | tr "\n" " ")"
strings -el "$lnk" | grep -qF "$windir\\" || fail "shortcut missing or not started in $windir"
command="\"$windir\\Kelvane.exe\" \"%1\""
for key in 'Classes\Applications\Kelvane.exe\shell\open\command' 'Classes\Kelvane.srt\shell\open\command'; do
  wine reg query "HKCU\\Software\\$key" /ve | grep -qF "$command" || fail "no $command under $key"
done
wine reg query 'HKCU\Software\Classes\.srt\OpenWithProgids' /v Kelvane.srt >/dev/null || fail "not in Open with"
opens_file "$windir\\Kelvane.exe" msi

echo options >"$dir/Kelvane.ini"
wine msiexec /i "$(wine winepath -w "$work/$v2.msi")" /qn || fail "upgrade"
# Uninstalling while Kelvane plays demo.srt from the install folder, started in batch mode with a saved
# record: delay 600000 ms (it plays on for minutes), the file "demo.srt", a zero rectangle, the default font.
{ printf '\xc0\x27\x09\0'; head -c 20 /dev/zero; printf '\x08demo.srt'; head -c 76 /dev/zero; } >"$dir/Kelvane.DAT"
cp "$dir/Kelvane.DAT" "$work/saved.DAT"
(cd "$dir" && exec "$root/tools/wine-run" "$windir\\Kelvane.exe" batchmode >/dev/null 2>&1) & player=$!
# On any exit the player ends too, before the uninstalls of the trap above.
uninstalls=$(trap -p EXIT | sed 's/^trap -- //; s/ EXIT$//')
trap "{ kill -CONT $player && kill $player; } 2>/dev/null || true; eval $uninstalls" EXIT
for _ in $(seq 100); do ls -l "/proc/$player/fd" 2>/dev/null | grep -q '/demo\.srt$' && break; sleep 0.2; done
ls -l "/proc/$player/fd" | grep -q '/demo\.srt$' || fail "Kelvane does not play demo.srt from $windir"
uninstall() { wine msiexec /x "$(wine winepath -w "$work/$v2.msi")" /qn; }
# A Kelvane that does not close (stopped here) fails the uninstall, which then changes nothing.
kill -STOP $player
! uninstall || fail "uninstall reported success though Kelvane could not close"
[ "$(ls "$dir" | tr '\n' ' ')" = "Kelvane.DAT Kelvane.exe Kelvane.ini LICENSE.txt README.txt demo.srt " ] ||
  fail "a failed uninstall changed the files: $(ls "$dir" | tr "\n" " ")"
kill -CONT $player
# Had the first package stayed, its share of the files would outlive the second's uninstall.
uninstall || fail "uninstall"
! ps -o stat= -p $player | grep -qv Z || fail "Kelvane still runs after the uninstall"
! cmp -s "$work/saved.DAT" "$dir/Kelvane.DAT" || fail "Kelvane was ended without saving its settings"
[ "$(ls "$dir" | tr '\n' ' ')" = "Kelvane.DAT Kelvane.ini " ] || fail "left after uninstall: $(ls "$dir" | tr "\n" " ")"
[ ! -e "$lnk" ] || fail "shortcut left"
for key in 'Classes\Applications\Kelvane.exe' 'Classes\Kelvane.srt' 'Classes\.srt\OpenWithProgids' 'Kelvane'; do
  ! wine reg query "HKCU\\Software\\$key" >/dev/null || fail "registry key left: $key"
done
rm -rf "$dir"
echo "dist: all checks passed"

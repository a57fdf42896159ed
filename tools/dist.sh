#!/usr/bin/env bash
# Packs the Windows program: OUT/Kelvane-VERSION-win64.zip (a folder holding
# Kelvane.exe, README.txt, LICENSE.txt and demo.srt) and OUT/Kelvane-VERSION-win64.msi
# (the same files, installed per user; built with wixl, with CloseKelvane.dll from beside KELVANE_EXE).
# Usage: tools/dist.sh KELVANE_EXE VERSION OUT
set -euo pipefail
exe=$(realpath "$1") version=$2 out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
name="Kelvane-$version-win64"
mkdir -p "$out"
out=$(realpath "$out")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The folder inside the zip; text files with Windows line ends.
mkdir "$stage/$name"
cp "$exe" "$stage/$name/Kelvane.exe"
sed "s/@VERSION@/$version/g; s/\$/\r/" "$root/package/README.txt" >"$stage/$name/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/$name/LICENSE.txt"
cp "$root/samples/demo.srt" "$stage/$name/demo.srt"

rm -f "$out/$name.zip" "$out/$name.msi"
(cd "$stage" && zip -q -X -r "$out/$name.zip" "$name")

# wixl takes only relative source paths: it runs in the staging folder. The installer's custom action
# (closing a running Kelvane) is built beside Kelvane.exe.
cp "$root/res/Kelvane.ico" "$root/package/Kelvane.wxs" "$(dirname "$exe")/CloseKelvane.dll" "$stage/"
(cd "$stage" && wixl -a x64 -D "Version=$version" -D "Stage=$name" -D "Icon=Kelvane.ico" \
  -D "CloseAction=CloseKelvane.dll" -o "$out/$name.msi" Kelvane.wxs)
# Upgrade also over the same version (wixl has no AllowSameVersionUpgrades): the upper bound
# of the upgrade row becomes inclusive (msidbUpgradeAttributesVersionMaxInclusive, 0x200).
msiinfo export "$out/$name.msi" Upgrade | sed 's/\t1\t\tWIX_UPGRADE_DETECTED/\t513\t\tWIX_UPGRADE_DETECTED/' >"$stage/Upgrade.idt"
grep -q $'\t513\t' "$stage/Upgrade.idt" || { echo "dist: no upgrade row in the package" >&2; exit 1; }
(cd "$stage" && msibuild "$out/$name.msi" -i Upgrade.idt)
echo "$out/$name.zip"
echo "$out/$name.msi"

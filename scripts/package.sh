#!/usr/bin/env bash
# Builds the Windows program and packs the program folder for a shop: build/plumwick-<version>-win64.zip
# holds plumwick-<version>\ with both programs (stripped), data\system\, Text\ and help\. For IT,
# build/plumwick-<version>-x64.msi installs the same folder per machine into %ProgramFiles%\plumwick\ (made
# with wixl from scripts/msi/). The version is the one in CMakeLists.txt's project(VERSION).
# Usage: scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)"

version=$(tr -d '[:space:]' < build/win/version.txt)
name="plumwick-$version"
zip="$root/build/$name-win64.zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp -r build/win/stage "$work/$name"
strip=$(command -v x86_64-w64-mingw32-strip || echo strip)
"$strip" --strip-all "$work/$name/plumwick.exe" "$work/$name/plumwick-send.exe"
# Settings left by a run of the staged program are the developer's, not the shop's.
rm -f "$work/$name"/data/system/*.bad "$work/$name"/data/system/*.new

rm -f "$zip"
(cd "$work" && find "$name" -exec touch -d "@${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}" {} + &&
  find "$name" -type f | LC_ALL=C sort | zip -q -X -9 "$zip" -@)
ls -l "$zip"
unzip -l "$zip" | tail -n +4 | awk '{print $4}' | grep -E '\.exe$' | sed 's/^/  /'

# The installer, from the same folder as the zip.
msi="$root/build/$name-x64.msi"
mkdir -p "$work/msi"
bash "$root/scripts/msi/machine-values.sh" >"$work/msi/values.wxs"
(cd "$work" && find "$name" -type f ! -name '*.exe' | LC_ALL=C sort |
  wixl-heat -p "$name/" --component-group AppFiles --var var.Stage --directory-ref INSTALLDIR) >"$work/msi/files.wxs"
rm -f "$msi"
# wixl takes file sources relative to where it runs, never absolute.
(cd "$work" && wixl -a x64 -D Version="$version" -D Stage="$name" -o "$msi" \
  "$root/scripts/msi/plumwick.wxs" msi/values.wxs msi/files.wxs)
# What wixl cannot say: a machine value is installed only when its property is given and stays through
# upgrades and uninstall (256 64-bit + 4 registry key path + 16 permanent), and its property reaches an
# elevated install (secure).
secure=$(bash "$root/scripts/msi/machine-values.sh" secure)
queries=(-q "UPDATE Property SET Value='WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;$secure' WHERE Property='SecureCustomProperties'")
for property in ${secure//;/ }; do
  component=$(msiinfo export "$msi" Component | tr -d '\r' | awk -F'\t' -v p="$property" 'toupper($1) == "MACHINE" p { print $1 }')
  queries+=(-q "UPDATE Component SET Attributes=276, Condition='$property' WHERE Component='$component'")
done
# wixl writes the database in code page 1252 and drops a name it cannot hold (the Chinese names in Text\):
# the database is switched to UTF-8 and such a file is given its name with a made-up short name.
printf '\r\n\r\n65001\t_ForceCodepage\r\n' >"$work/msi/_ForceCodepage.idt"
(cd "$work/msi" && msibuild "$msi" -i _ForceCodepage.idt)
n=0
while read -r id file; do
  if LC_ALL=C grep -q '[^ -~]' <<<"$file"; then
    n=$((n + 1))
    ext=${file##*.}
    [ "$ext" = "$file" ] && ext= || ext=.$(LC_ALL=C tr 'a-z' 'A-Z' <<<"${ext:0:3}")
    short=$(printf 'FILE%04d%s' "$n" "$ext")
    queries+=(-q "UPDATE File SET FileName='$short|${file//\'/\'\'}' WHERE File='$id'")
  fi
done < <(sed -nE 's/.*<File Id="([^"]+)".*Source="[^"]*\/([^"/]+)".*/\1 \2/p' "$work/msi/files.wxs")
msibuild "$msi" "${queries[@]}"
ls -l "$msi"

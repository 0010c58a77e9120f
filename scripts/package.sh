#!/usr/bin/env bash
# Builds the Windows program and packs the program folder for a shop: build/plumwick-<version>-win64.zip
# holds plumwick-<version>\ with both programs (stripped), data\system\, Text\ and help\. The version is
# the one in CMakeLists.txt's project(VERSION). Usage: scripts/package.sh
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

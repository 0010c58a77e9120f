#!/usr/bin/env bash
# Builds the program and runs it on the shipped default data under Wine. With a display ($DISPLAY) it
# runs there until it is ended ("plumwick-send END", or the toolbar's close button); without one it runs in
# a private Xvfb, saves a screenshot to build/screenshot.png and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc 2>/dev/null || echo 2)"
stage="$root/build/win/stage"

if [ -n "${DISPLAY:-}" ]; then
  export PLUMWICK_USE_DISPLAY=1
fi
source scripts/wine-env.sh
plumwick_xvfb
plumwick_wine_prefix
cd "$stage"
if [ -n "${PLUMWICK_USE_DISPLAY:-}" ]; then
  echo "Running $stage/plumwick.exe on $DISPLAY; end it with: (cd $stage && wine plumwick-send.exe END)"
  exec wine ./plumwick.exe
fi

probe() { wine "$root/build/win/plumwick-probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
wine ./plumwick.exe >/dev/null 2>&1 &
for _ in $(seq 1 240); do
  [ "$(probe find-box)" = yes ] && break
  sleep 0.25
done
xsetroot -solid '#3a6ea5' 2>/dev/null || true
# The about window greets every start for about six seconds; the display is what the user sees after it.
for _ in $(seq 1 120); do
  [ "$(probe visible PlumwickAbout)" = 1 ] || break
  sleep 0.25
done
# Point at the welcome line so the skin panel and the toolbar show, as they do for a user. The window is
# see-through between the letters, so the pointer walks along the line until it rests on one.
read -r _ lineTop width _ <<<"$(probe rect PlumwickMainText)"
for dx in $(seq 0 12 360); do
  xdotool mousemove $(( ${width:-1920} / 2 - 180 + dx )) $(( ${lineTop:-0} + 22 )) 2>/dev/null || true
  [ "$(probe visible PlumwickSkinPanel)" = 1 ] && break
done
sleep 1
import -window root "$root/build/screenshot.png"
wine ./plumwick-send.exe END >/dev/null 2>&1 || true
wineserver -w 2>/dev/null || true
kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
echo "Screenshot of the running display saved to $root/build/screenshot.png"

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

wine ./plumwick.exe >/dev/null 2>&1 &
wine ./plumwick-send.exe --wait 60 "TMS" >/dev/null 2>&1 || true
sleep 2
xsetroot -solid '#3a6ea5' 2>/dev/null || true
# Point at the welcome line so the skin panel and the toolbar show, as they do for a user.
xdotool mousemove 960 "$(( $(xdpyinfo | awk '/dimensions/{split($2,a,"x"); print a[2]}') - 630 ))" 2>/dev/null || true
sleep 1.5
import -window root "$root/build/screenshot.png"
wine ./plumwick-send.exe END >/dev/null 2>&1 || true
wineserver -w 2>/dev/null || true
kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
echo "Screenshot of the running display saved to $root/build/screenshot.png"

#!/usr/bin/env bash
# A compressed week of the staged program's life under Wine, in a private Xvfb with icewm's taskbar and a
# Wine prefix of its own (made from the clean one, removed afterwards):
#   scripts/bench-week.sh [--days N] [--hour-ticks N]
# The rotation ticks every 100 ms, a command arrives every 20 ms, a line is sung every 2 s, and every
# simulated hour (100 ticks of 20 ms unless told) a work-area, display and DPI change reach the program's
# windows. It prints handles, GDI and USER objects, private bytes and working set at the start and after
# each simulated day, and whether each day kept to its targets; exit code 2 when one did not.
# PLUMWICK_BENCH_BUILD names the cross build folder to use (default build/win; built when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PLUMWICK_BENCH_BUILD:-$root/build/win}"
source "$root/scripts/wine-env.sh"
plumwick_bench_build "$build"
plumwick_wine_prefix

session=$(mktemp -d "$root/build/bench-week.XXXXXX")
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "${PLUMWICK_XVFB_PID:-}" ]; then
    kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
    wait "$PLUMWICK_XVFB_PID" 2>/dev/null || true
  fi
  rm -rf "$session"
}
trap cleanup EXIT
plumwick_wine_session_prefix "$session/prefix"
export WINEPREFIX="$session/prefix"
PLUMWICK_SCREEN=1920x1080x24 plumwick_xvfb

exe=$(winepath -w "$build/stage/plumwick.exe" 2>/dev/null)
status=0
wine "$build/plumwick-bench.exe" --week --exe "$exe" "$@" 2>/dev/null | tr -d '\r' || status=$?
exit "$status"

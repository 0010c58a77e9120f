#!/usr/bin/env bash
# Drawing cost, CPU, start-up time and memory of the staged program under Wine, in a private Xvfb:
#   scripts/bench.sh [--quick]
# Every figure on a 1920 px screen with Wine's emulation of per-pixel alpha by X shapes on (what a Wine
# user without a compositor gets); then the karaoke sweep's figures again with it off (alpha shows over
# black, but the rest of the work is as on Windows) and on a 3840 px screen with it on and off. The
# sweep figures are medians of PLUMWICK_BENCH_RUNS runs (default 3).
# PLUMWICK_BENCH_BUILD names the cross build folder to use (default build/win; built when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PLUMWICK_BENCH_BUILD:-$root/build/win}"
runs="${PLUMWICK_BENCH_RUNS:-3}"
source "$root/scripts/wine-env.sh"
plumwick_bench_build "$build"
plumwick_wine_prefix

shape_key() { echo "HKCU\\Software\\Wine\\AppDefaults\\$1\\X11 Driver"; }
shapes() { # on | off, for the program and the benchmark itself
  local exe
  for exe in plumwick.exe plumwick-bench.exe; do
    if [ "$1" = off ]; then
      wine reg add "$(shape_key "$exe")" /v ShapeLayeredWindows /t REG_SZ /d N /f >/dev/null 2>&1
    else
      wine reg delete "$(shape_key "$exe")" /v ShapeLayeredWindows /f >/dev/null 2>&1 || true
    fi
  done
  wineserver -w
}
stop_display() {
  wineserver -k 2>/dev/null || true
  if [ -n "${PLUMWICK_XVFB_PID:-}" ]; then
    kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
    wait "$PLUMWICK_XVFB_PID" 2>/dev/null || true
    PLUMWICK_XVFB_PID=
  fi
}
cleanup() {
  stop_display
  shapes on # the prefix is shared with the tests
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# run SCREEN on|off [ARGS...]: one benchmark run on a fresh display of that size.
run() {
  local screen=$1 setting=$2
  shift 2
  PLUMWICK_SCREEN="${screen}x1080x24" plumwick_xvfb
  export PLUMWICK_XVFB_PID # the benchmark reads the X server's CPU time through it
  shapes "$setting"
  local extra=()
  [ "$setting" = off ] && extra+=(--shapes-off)
  wine "$build/plumwick-bench.exe" --exe "$exe" --runs "$runs" "${extra[@]}" "$@" 2>/dev/null | tr -d '\r'
  stop_display
}

exe=$(winepath -w "$build/stage/plumwick.exe" 2>/dev/null)
run 1920 on "$@"
run 1920 off --sweep-only "$@"
run 3840 on --sweep-only "$@"
run 3840 off --sweep-only "$@"

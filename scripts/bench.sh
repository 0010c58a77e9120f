#!/usr/bin/env bash
# Drawing cost, CPU, start-up time and memory of the staged program under Wine, in a private Xvfb:
#   scripts/bench.sh [--quick]
# PLUMWICK_BENCH_BUILD names the cross build folder to use (default build/win; built when missing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PLUMWICK_BENCH_BUILD:-$root/build/win}"
if [ ! -f "$build/plumwick-bench.exe" ] || [ ! -f "$build/stage/plumwick.exe" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
fi
source "$root/scripts/wine-env.sh"
plumwick_xvfb
plumwick_wine_prefix
cleanup() { wineserver -k 2>/dev/null || true; [ -n "${PLUMWICK_XVFB_PID:-}" ] && kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true; }
trap cleanup EXIT
exe=$(winepath -w "$build/stage/plumwick.exe" 2>/dev/null)
wine "$build/plumwick-bench.exe" --exe "$exe" "$@" 2>/dev/null | tr -d '\r'

#!/usr/bin/env bash
# Builds the Windows program (staged in build/win/stage) and the native tests. Usage: scripts/build.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/win" -j"$jobs"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release -DPLUMWICK_WIN_BUILD="$root/build/win" >/dev/null
cmake --build "$root/build/native" -j"$jobs"

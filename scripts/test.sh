#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the layering, builds everything and runs every test: the native unit
# tests, the fuzz targets for a short bounded time, the tests inside Windows and the end-to-end tests under
# Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/format-check.sh
bash scripts/check-structure.sh
bash scripts/build.sh

# The Wine prefix is made once, before the tests that share it.
(
  source scripts/wine-env.sh
  plumwick_xvfb
  plumwick_wine_prefix
  wineserver -k 2>/dev/null || true
  [ -n "${PLUMWICK_XVFB_PID:-}" ] && kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
)

if [ -f scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh "${PLUMWICK_FUZZ_SECONDS:-10}"
fi

cd build/native
ctest --output-on-failure -j2 --timeout 600

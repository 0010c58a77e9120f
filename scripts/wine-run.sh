#!/usr/bin/env bash
# Runs one Windows program under the test Wine setup, in its own Xvfb: scripts/wine-run.sh PROGRAM.exe [ARGS]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
plumwick_xvfb
plumwick_wine_prefix
cleanup() { wineserver -k 2>/dev/null || true; [ -n "${PLUMWICK_XVFB_PID:-}" ] && kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true; }
trap cleanup EXIT
wine "$@"

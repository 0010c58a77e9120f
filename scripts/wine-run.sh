#!/usr/bin/env bash
# Runs one Windows program under the test Wine setup, in its own Xvfb and in a prefix of its own made from the
# clean one (so it can run beside the end-to-end tests): scripts/wine-run.sh PROGRAM.exe [ARGS]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
plumwick_wine_prefix
plumwick_xvfb
session=$(mktemp -d /tmp/plumwick-run-XXXXXX)
plumwick_wine_session_prefix "$session/prefix"
export WINEPREFIX="$session/prefix"
cleanup() {
  wineserver -k 2>/dev/null || true
  # Waited for, so that the display number is free again when the next run picks one.
  local pid
  for pid in ${PLUMWICK_ICEWM_PID:-} ${PLUMWICK_XVFB_PID:-}; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$session"
}
trap cleanup EXIT
wineserver -p
wine "$@"

#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the layering, builds everything and runs every test:
# the native unit tests, the fuzz targets for a short bounded time, the tests inside Windows and the
# end-to-end tests under Wine. Prints at the end how long each step took.
#
# The end-to-end sessions mostly wait (for a window, a pixel, a fade), so they run side by side, each in its
# own display and Wine prefix, and the fuzzing runs beside them on the core they leave free.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
started=$SECONDS
timings=()
step() { # step NAME COMMAND...: runs the command and notes its time
  local name=$1 begun=$SECONDS
  shift
  "$@"
  timings+=("$(printf '%-34s %4d s' "$name" $((SECONDS - begun)))")
}

step "packages" bash scripts/install-deps.sh
step "format check" bash scripts/format-check.sh
step "layering check" bash scripts/check-structure.sh
# The clean Wine prefix every test session is made from is made while the build runs (it needs no build).
prefix_log=$root/build/wine-prefix.log
mkdir -p build
bash -c 'source scripts/wine-env.sh && plumwick_wine_prefix' >"$prefix_log" 2>&1 &
prefix_pid=$!
step "build (Windows and native)" bash scripts/build.sh
prefix_made() { wait "$prefix_pid" || { cat "$prefix_log" >&2; return 1; }; }
step "clean Wine prefix (after the build)" prefix_made

fuzz_log=$root/build/fuzz-summary.log
fuzz_begun=$SECONDS
bash scripts/fuzz.sh "${PLUMWICK_FUZZ_SECONDS:-10}" >"$fuzz_log" 2>&1 &
fuzz_pid=$!

cd build/native
status=0
unit_begun=$SECONDS
counts=$root/build/test-counts.log
: >"$counts"
run_ctest() { # ctest's output goes on to the log as well, for the closing count
  local code
  ctest "$@" 2>&1 | tee -a "$counts"
  code=${PIPESTATUS[0]}
  return "$code"
}
run_ctest --output-on-failure -LE wine -j2 --timeout 120 || status=$?
timings+=("$(printf '%-34s %4d s' "unit tests" $((SECONDS - unit_begun)))")
# The two ten-thousand-command runs are the longest; they start first so that nothing waits for them at
# the end.
e2e_begun=$SECONDS
run_ctest --output-on-failure -L wine -j"${PLUMWICK_E2E_JOBS:-6}" --timeout 600 || status=$?
timings+=("$(printf '%-34s %4d s' "Windows and end-to-end tests" $((SECONDS - e2e_begun)))")
# The tests inside Windows are one entry of that run, side by side with the end-to-end sessions.
inside=$(sed -n 's/.*wine\.inside-windows-tests .*[[:space:]]\([0-9]*\)\.[0-9]* sec.*/\1/p' "$counts" | tail -n 1)
timings+=("$(printf '%-34s %4s s' "  of which the tests inside Windows" "${inside:-?}")")

fuzz_status=0
wait "$fuzz_pid" || fuzz_status=$?
timings+=("$(printf '%-34s %4d s' "fuzzing (beside the tests)" $((SECONDS - fuzz_begun)))")
cat "$fuzz_log"
[ "$fuzz_status" -eq 0 ] || status=1

echo "Time taken:"
printf '  %s\n' "${timings[@]}"
printf '  %-34s %4d s\n' "total" $((SECONDS - started))
# One closing count over both ctest runs (unit; Windows and end-to-end) and the fuzz targets.
read -r total failed < <(sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\2 \1/p' "$counts" |
  awk '{t += $1; f += $2} END {print t + 0, f + 0}')
fuzz_ok=$(grep -c ': ok (' "$fuzz_log" || true)
fuzz_failed=$(grep -c ': FAILED' "$fuzz_log" || true)
echo "Result: $((total - failed + fuzz_ok)) passed, $((failed + fuzz_failed)) failed"
exit "$status"

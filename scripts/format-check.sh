#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the project is not formatted by the checked-in .clang-format
# (with Debian's clang-format-14). "scripts/format-check.sh --fix" formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || true)
if [ -z "$format" ]; then
  echo "format-check: clang-format-14 is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
# One run over every file; it names each place that is off, and the files are gathered from that.
report=$("$format" --dry-run --Werror "${files[@]}" 2>&1 >/dev/null) || true
mapfile -t bad < <(grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u)
if [ ${#bad[@]} -gt 0 ] || [ -n "$report" ]; then
  [ ${#bad[@]} -gt 0 ] || echo "$report" >&2
  echo "Not formatted by .clang-format (run scripts/format-check.sh --fix):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files formatted"

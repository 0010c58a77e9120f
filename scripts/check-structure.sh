#!/usr/bin/env bash
# Fails, naming file and line, when the code breaks the layering the README draws: an include between
# folders the dependency picture does not allow, another subsystem's window header, or a handle given back
# by hand (CloseHandle, DeleteObject, DeleteDC, DestroyWindow, LocalFree, RegCloseKey) outside the owner
# template in win32/Handles_win.h. Tests, fuzz targets and the benchmark are not product code: exempt.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides itself. Keep in step with the README's picture.
declare -A allowed=(
  [common]=""
  [win32]="common"
  [notice]="common win32"
  [store]="common win32 notice"
  [rotation]="common win32"
  [display]="common win32 notice store"
  [hotkey]="common win32 notice store"
  [about]="common win32 notice store"
  [content]="common win32 notice store rotation"
  [command]="common win32 notice store content"
  [toolbar]="common win32 notice store rotation display"
  [app]="*"
  [tools]="common win32 command app"
)
# Folders whose window (_win) headers other folders may include: the shared services.
services=" win32 notice store "

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.rc' '*.rch' |
  grep -Ev '^(tests|fuzz|bench|build)/' | sort -u)

problems=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  folder=${f%%/*}
  [ "$folder" = "$f" ] && continue # top-level files
  if [ -z "${allowed[$folder]+set}" ]; then
    problems+=("$f: folder '$folder' is not in the dependency picture (scripts/check-structure.sh)")
    continue
  fi
  while IFS=: read -r line target; do
    to=${target%%/*}
    [ "$to" = "$folder" ] && continue
    [ -d "$to" ] || continue # a system header that happens to hold a slash
    ok=no
    if [ "${allowed[$folder]}" = "*" ]; then
      ok=yes
    else
      for a in ${allowed[$folder]}; do
        [ "$a" = "$to" ] && ok=yes
      done
    fi
    if [ $ok = no ]; then
      problems+=("$f:$line: includes $target, but $folder/ may not depend on $to/")
    elif [ "${allowed[$folder]}" != "*" ] && [[ $target == *_win.h ]] && [[ $services != *" $to "* ]]; then
      problems+=("$f:$line: includes $target, another subsystem's window header")
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$f" |
    sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
  if [ "$f" != win32/Handles_win.h ]; then
    while IFS= read -r hit; do
      problems+=("$f:$hit (give it to an owner from win32/Handles_win.h)")
    done < <(sed 's://.*$::' "$f" | grep -nE '(^|[^A-Za-z0-9_&:>.])(CloseHandle|DeleteObject|DeleteDC|DestroyWindow|LocalFree|RegCloseKey)[[:space:]]*\(' || true)
  fi
done

if [ ${#problems[@]} -gt 0 ]; then
  echo "check-structure: the layering is broken:" >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "check-structure: ${#files[@]} files keep the dependency picture"

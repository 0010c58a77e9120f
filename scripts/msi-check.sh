#!/usr/bin/env bash
# Checks the installer scripts/package.sh built: its tables hold both programs, the Run value with the
# quoted path, the Start-menu shortcut, the fixed UpgradeCode and one conditional, permanent component per
# machine-wide value. With --install it also installs it silently under Wine with CONTENTFOLDER, INTERVAL
# and MONITOR, checks the files and values, and uninstalls it.
# Usage: scripts/msi-check.sh build/plumwick-<version>-x64.msi [--install]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
msi=$(realpath "$1")
fail() {
  echo "msi-check: $*" >&2
  exit 1
}
table() { msiinfo export "$msi" "$1" | tr -d '\r'; }

tables=$(msiinfo tables "$msi")
for t in File Component Registry Shortcut Upgrade Property; do
  grep -qx "$t" <<<"$tables" || fail "no $t table"
done
table File | cut -f3 | grep -qx 'plumwick.exe' || fail "plumwick.exe is not installed"
table File | cut -f3 | grep -qx 'plumwick-send.exe' || fail "plumwick-send.exe is not installed"
table Property | grep -qx $'UpgradeCode\t{849413D5-37DB-4AE4-811F-D2E15A92ACFB}' || fail "the UpgradeCode changed"
table Property | grep -qx $'ALLUSERS\t1' || fail "not a per-machine package"
table Registry | grep -qF $'Software\\Microsoft\\Windows\\CurrentVersion\\Run\tplumwick\t"[INSTALLDIR]plumwick.exe"' ||
  fail "no quoted Run value"
table Shortcut | grep -q $'^PlumwickShortcut\tProgramMenuFolder\tplumwick\t' || fail "no Start-menu shortcut"
for property in $(bash "$root/scripts/msi/machine-values.sh" secure | tr ';' ' '); do
  table Component | awk -F'\t' -v p="$property" '$5 == p && $4 == 276 { found = 1 } END { exit !found }' ||
    fail "no permanent component written only when $property is given"
  table Property | grep -q "^SecureCustomProperties.*$property" || fail "$property is not secure"
done
echo "msi-check: tables hold what the installer must write"

[ "${2:-}" = --install ] || exit 0
source "$root/scripts/wine-env.sh"
plumwick_wine_prefix
session=$(mktemp -d /tmp/plumwick-msi-XXXXXX)
plumwick_wine_session_prefix "$session/prefix"
export WINEPREFIX="$session/prefix" WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$session"' EXIT
dir="$WINEPREFIX/drive_c/Program Files/plumwick"
timeout 120 wine msiexec /i "$(winepath -w "$msi")" /qn CONTENTFOLDER='D:\Shop\Text' INTERVAL=7 MONITOR=secondary ||
  fail "msiexec /i failed"
for f in plumwick.exe plumwick-send.exe; do
  [ -f "$dir/$f" ] || fail "not installed: $f"
done
# The shop's folders as the source has them, Chinese file names included.
while IFS= read -r f; do
  [ -f "$dir/$f" ] || fail "not installed: $f"
done < <(cd "$root" && find Text help data/system -type f)
query() { timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }
[ "$(query 'HKLM\Software\plumwick' ContentFolder)" = 'D:\Shop\Text' ] || fail "ContentFolder not written"
[ "$(query 'HKLM\Software\plumwick' Interval)" = 0x7 ] || fail "Interval not written as a number"
[ "$(query 'HKLM\Software\plumwick' Monitor)" = secondary ] || fail "Monitor not written"
[ -z "$(query 'HKLM\Software\plumwick' FontSize)" ] || fail "FontSize written though not given"
[ "$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' plumwick)" = '"C:\Program Files\plumwick\plumwick.exe"' ] ||
  fail "Run value: $(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' plumwick)"
timeout 120 wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x failed"
[ ! -e "$dir/plumwick.exe" ] || fail "uninstall left plumwick.exe"
[ -z "$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' plumwick)" ] || fail "uninstall left the Run value"
[ "$(query 'HKLM\Software\plumwick' Interval)" = 0x7 ] || fail "uninstall removed the machine-wide Interval"
echo "msi-check: installed, wrote the machine-wide values, and uninstalled under Wine"

#!/usr/bin/env bash
# Checks the installer scripts/package.sh built: its tables hold both programs, the Run value with the
# quoted path, the Start-menu shortcut, the fixed UpgradeCode and one conditional, permanent component per
# machine-wide value. With --install it also installs it silently under Wine with CONTENTFOLDER, INTERVAL
# and MONITOR, checks the files and values, starts the display, upgrades it in place with a newer package
# (closing the running display first and starting it again after, as the Restart Manager does on Windows),
# checks the machine-wide values survived, and uninstalls it. The upgrade needs build/win/plumwick-probe.exe.
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
table Property | grep -qx $'MSIRMSHUTDOWN\t2' || fail "the Restart Manager may not close the running display"
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
PLUMWICK_XVFB_PID=
trap 'wineserver -k 2>/dev/null || true; [ -z "$PLUMWICK_XVFB_PID" ] || kill "$PLUMWICK_XVFB_PID" 2>/dev/null; rm -rf "$session"' EXIT
# The display the installed program runs on later: Wine's desktop takes the display its first program had.
PLUMWICK_BARE_DESKTOP=1 plumwick_xvfb
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

# An upgrade while the display runs, as at a shop: a newer package (the same UpgradeCode, a new ProductCode
# and version) replaces it in place.
probe="$root/build/win/plumwick-probe.exe"
[ -f "$probe" ] || fail "build the program first: no $probe"
running() { (cd "$dir" && timeout 30 wine ./plumwick-send.exe --status >/dev/null 2>&1); }
(cd "$dir" && exec wine ./plumwick.exe >/dev/null 2>&1) &
for _ in $(seq 1 60); do running && break; sleep 0.5; done
running || fail "the installed display did not start"
newer="$session/newer.msi"
cp "$msi" "$newer"
version=$(table Property | awk -F'\t' '$1 == "ProductVersion" { print $2 }')
next=${version%.*}.$((${version##*.} + 1))
upgrade=849413D5-37DB-4AE4-811F-D2E15A92ACFB
# As the build of that version writes them: its version, and the Upgrade rows bounded by it (key columns,
# so the rows are made anew).
msibuild "$newer" -q "UPDATE Property SET Value='$next' WHERE Property='ProductVersion'" \
  -q "DELETE FROM Upgrade WHERE ActionProperty='WIX_UPGRADE_DETECTED'" \
  -q "DELETE FROM Upgrade WHERE ActionProperty='WIX_DOWNGRADE_DETECTED'" \
  -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('{$upgrade}', '$next', 1, 'WIX_UPGRADE_DETECTED')" \
  -q "INSERT INTO Upgrade (UpgradeCode, VersionMin, Attributes, ActionProperty) VALUES ('{$upgrade}', '$next', 2, 'WIX_DOWNGRADE_DETECTED')" \
  -q "UPDATE Property SET Value='{$(python3 -c 'import uuid; print(str(uuid.uuid4()).upper())')}' WHERE Property='ProductCode'"
msibuild "$newer" -s "Installation Database" plumwick "x64;1033" "{$(python3 -c 'import uuid; print(str(uuid.uuid4()).upper())')}"
# What the Restart Manager does before files are replaced: WM_CLOSE to the display's command window, which
# ends it. Wine's Restart Manager is a stub, so this step sends it.
timeout 30 wine "$probe" post PlumwickCommandWindow 0x10 0 0 >/dev/null 2>&1 || fail "no command window to close"
for _ in $(seq 1 40); do running || break; sleep 0.5; done
running && fail "the display did not end on WM_CLOSE"
timeout 120 wine msiexec /i "$(winepath -w "$newer")" /qn || fail "the upgrade failed"
[ -f "$dir/plumwick.exe" ] || fail "the upgrade left no plumwick.exe"
[ "$(query 'HKLM\Software\plumwick' Interval)" = 0x7 ] || fail "the upgrade lost the machine-wide Interval"
[ "$(query 'HKLM\Software\plumwick' ContentFolder)" = 'D:\Shop\Text' ] || fail "the upgrade lost ContentFolder"
[ "$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' plumwick)" = '"C:\Program Files\plumwick\plumwick.exe"' ] ||
  fail "the upgrade lost the Run value"
# And started again after, as the Restart Manager restarts a program registered for restart.
(cd "$dir" && exec wine ./plumwick.exe >/dev/null 2>&1) &
for _ in $(seq 1 60); do running && break; sleep 0.5; done
running || fail "the upgraded display did not start"
(cd "$dir" && timeout 30 wine ./plumwick-send.exe END >/dev/null 2>&1) || true
for _ in $(seq 1 40); do running || break; sleep 0.5; done
versions=$(timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
  tr -d '\r' | awk '$1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" && name == "plumwick" { print $3 }')
[ "$versions" = "$next" ] || fail "installed after the upgrade: $(echo $versions) (only $next wanted)"
echo "msi-check: upgraded in place while the display ran; the machine-wide values stayed"
msi=$newer

timeout 120 wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x failed"
[ ! -e "$dir/plumwick.exe" ] || fail "uninstall left plumwick.exe"
[ -z "$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' plumwick)" ] || fail "uninstall left the Run value"
[ "$(query 'HKLM\Software\plumwick' Interval)" = 0x7 ] || fail "uninstall removed the machine-wide Interval"
echo "msi-check: installed, wrote the machine-wide values, and uninstalled under Wine"

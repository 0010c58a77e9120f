# Sourced: a private Wine prefix under build/, quiet, without Mono/Gecko, with code page 936 and the
# display's font names mapped to the installed CJK font; a test desktop (Xvfb with icewm's taskbar).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${PLUMWICK_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
export WINEARCH=win64
# `wine` starts a program again when Wine itself could not (scripts/wine-bin/wine says when).
case ":$PATH:" in *":$root/scripts/wine-bin:"*) ;; *) export PATH="$root/scripts/wine-bin:$PATH" ;; esac

# The benchmarks' cross build (the program staged and plumwick-bench.exe), built when either is missing.
plumwick_bench_build() {
  local build=$1
  if [ ! -f "$build/plumwick-bench.exe" ] || [ ! -f "$build/stage/plumwick.exe" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
  fi
}

# Bumped whenever the prefix's set-up changes, so that prefixes made by an older set-up are redone.
plumwick_prefix_version=3

# The prefix's registry settings. regedit reads a plain .reg file in the ANSI code page, which would garble
# the Chinese font names; as UTF-16 with a byte-order mark it reads them as they are.
plumwick_write_prefix_reg() {
  {
    printf '\xff\xfe'
    sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[-HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Microsoft YaHei"="WenQuanYi Micro Hei"
"微软雅黑"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
REG
  } >"$1"
}

# Makes the prefix once (later calls only check the marker), then keeps a copy of its clean state (the
# registry, the profile folders and the few files Wine rewrites in place) for plumwick_wine_session_prefix.
plumwick_wine_prefix() {
  [ "$(cat "$WINEPREFIX/.plumwick-ready" 2>/dev/null)" = "$plumwick_prefix_version" ] && return 0
  # Test sessions starting side by side wait for the one that makes it.
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    plumwick_make_wine_prefix
  ) 9>"$WINEPREFIX.lock"
}

plumwick_make_wine_prefix() {
  if [ "$(cat "$WINEPREFIX/.plumwick-ready" 2>/dev/null)" != "$plumwick_prefix_version" ]; then
    # A prefix of an older make of ours is made anew: what earlier runs left in it must not become the
    # clean state. (A folder without our marker is never removed.)
    if [ -f "$WINEPREFIX/.plumwick-ready" ]; then
      wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    local reg; reg=$(mktemp --suffix=.reg)
    plumwick_write_prefix_reg "$reg"
    wine regedit /S "$reg" >/dev/null 2>&1 || true
    wineserver -w
    rm -f "$reg"
    local clean="$WINEPREFIX/.plumwick-clean"
    rm -rf "$clean"
    mkdir -p "$clean/windows"
    cp -a "$WINEPREFIX"/*.reg "$WINEPREFIX/drive_c/users" "$clean/"
    cp -a "$WINEPREFIX"/drive_c/windows/*.ini "$clean/windows/"
    echo "$plumwick_prefix_version" >"$WINEPREFIX/.plumwick-ready"
  fi
}

# Makes a prefix of its own at $1 from the clean prefix in a moment, for one test session: the system files
# are hard links (Wine never writes them in place), the registry, the profile folders and the .ini files
# Wine rewrites are copies of the clean state. Nothing one session does reaches another or the clean prefix.
# With a second argument (e.g. 144) the desktop runs at that DPI. It goes into the registry file itself: a
# Wine program run to set it would start the prefix's desktop before the taskbar has set the work area, and
# Wine would keep the whole screen as the work area.
plumwick_wine_session_prefix() {
  local dest=$1 dpi=${2:-96} clean="$WINEPREFIX/.plumwick-clean"
  mkdir -p "$dest"
  cp -al "$WINEPREFIX/drive_c" "$dest/drive_c"
  rm -rf "$dest/drive_c/users"
  cp -a "$clean/users" "$dest/drive_c/users"
  cp -a --remove-destination "$clean"/windows/*.ini "$dest/drive_c/windows/"
  cp -a "$clean"/*.reg "$WINEPREFIX/dosdevices" "$WINEPREFIX/.update-timestamp" "$dest/"
  if [ "$dpi" != 96 ]; then
    sed -i "/^\[Control Panel\\\\\\\\Desktop\] /a \"LogPixels\"=dword:$(printf %08x "$dpi")" "$dest/user.reg"
  fi
}

# Starts icewm on $DISPLAY with the test desktop's preferences and waits until its taskbar has set the
# work area; the desktop colour goes on afterwards (icewm clears the root window). An icewm that has not set
# it within 20 s is started again: a program started on the bare screen would keep the whole screen as its
# work area, and a test would fail for the desktop, not the program.
plumwick_icewm() {
  local height; height=$(xdpyinfo 2>/dev/null | awk '/dimensions/{split($2,a,"x"); print a[2]}')
  local attempt began; began=$(date +%s)
  for attempt in 1 2 3; do
    ICEWM_PRIVCFG="$root/scripts/icewm" icewm >/dev/null 2>&1 &
    PLUMWICK_ICEWM_PID=$!
    # icewm first announces the whole screen as the work area, then takes the taskbar's strip off it.
    for _ in $(seq 1 200); do
      if xprop -root _NET_WORKAREA 2>/dev/null |
        awk -F'[=,]' -v h="${height:-0}" '$5+0 > 0 && $5+0 < h {ok=1} END {exit !ok}'; then
        [ $(($(date +%s) - began)) -gt 5 ] && echo "icewm set the work area after $(($(date +%s) - began)) s" >&2
        xsetroot -solid '#3a6ea5' 2>/dev/null || true
        return 0
      fi
      sleep 0.1
    done
    echo "icewm did not set the work area on $DISPLAY in 20 s (attempt $attempt); starting it again" >&2
    kill "$PLUMWICK_ICEWM_PID" 2>/dev/null || true
    wait "$PLUMWICK_ICEWM_PID" 2>/dev/null || true
  done
  echo "icewm never set the work area on $DISPLAY" >&2
  return 1
}

# Starts a private Xvfb on a free display number, with icewm, unless PLUMWICK_USE_DISPLAY is set; sets
# DISPLAY. PLUMWICK_BARE_DESKTOP=1 leaves icewm out. A server that reports its number but then does not
# accept a client within 10 s is replaced by a new one (its own messages are shown).
plumwick_xvfb() {
  if [ -n "${PLUMWICK_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local attempt number log ready
  for attempt in 1 2 3; do
    # Xvfb picks the free display number itself (other runs on this machine may be choosing one just
    # now) and writes it out once it accepts connections. -noreset: by default the server resets when its
    # last client leaves, and refuses whoever connects meanwhile (the first xsetroot or xprop ending just
    # as icewm or Wine connects).
    number=$(mktemp)
    log=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${PLUMWICK_SCREEN:-1920x1080x24}" -nolisten tcp -noreset 3>"$number" >"$log" 2>&1 &
    PLUMWICK_XVFB_PID=$!
    ready=
    for _ in $(seq 1 300); do
      grep -q '^[0-9][0-9]*$' "$number" && break
      kill -0 "$PLUMWICK_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if grep -q '^[0-9][0-9]*$' "$number"; then
      export DISPLAY=":$(head -n 1 "$number")"
      for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && ready=1 && break
        kill -0 "$PLUMWICK_XVFB_PID" 2>/dev/null || break
        sleep 0.1
      done
    fi
    if [ -n "$ready" ]; then
      rm -f "$number" "$log"
      break
    fi
    echo "Xvfb (display ${DISPLAY:-none}, attempt $attempt) does not accept clients; its messages:" >&2
    sed 's/^/  /' "$log" >&2
    kill "$PLUMWICK_XVFB_PID" 2>/dev/null || true
    wait "$PLUMWICK_XVFB_PID" 2>/dev/null || true
    rm -f "$number" "$log"
  done
  [ -n "$ready" ] || return 1
  xsetroot -solid '#3a6ea5' 2>/dev/null || true
  if [ -z "${PLUMWICK_BARE_DESKTOP:-}" ]; then
    plumwick_icewm
  fi
}

# Sourced: a private Wine prefix under build/, quiet, without Mono/Gecko, with code page 936 and the
# display's font names mapped to the installed CJK font; a test desktop (Xvfb with icewm's taskbar).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${PLUMWICK_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
export WINEARCH=win64

# Bumped whenever the prefix's set-up changes, so that prefixes made by an older set-up are redone.
plumwick_prefix_version=2

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

# Makes the prefix once (later calls only check the marker), then keeps a copy of its clean per-user
# state (the user's registry and profile folder) for plumwick_wine_clean_state.
plumwick_wine_prefix() {
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
    rm -rf "$WINEPREFIX/.plumwick-clean"
    mkdir -p "$WINEPREFIX/.plumwick-clean"
    cp -a "$WINEPREFIX/user.reg" "$WINEPREFIX/drive_c/users" "$WINEPREFIX/.plumwick-clean/"
    echo "$plumwick_prefix_version" >"$WINEPREFIX/.plumwick-ready"
  fi
}

# Puts the per-user state back as the prefix was made, so nothing one run left in the registry or in the
# user's folders reaches the next. With PLUMWICK_DPI (e.g. 144) the desktop then runs at that DPI.
# Ends any program still running in the prefix.
plumwick_wine_clean_state() {
  plumwick_wine_prefix
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  local clean="$WINEPREFIX/.plumwick-clean"
  cp -a "$clean/user.reg" "$WINEPREFIX/user.reg"
  rm -rf "$WINEPREFIX/drive_c/users"
  cp -a "$clean/users" "$WINEPREFIX/drive_c/users"
  local dpi=${PLUMWICK_DPI:-96}
  if [ "$dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || true
  fi
}

# Starts icewm on $DISPLAY with the test desktop's preferences and waits until its taskbar has set the
# work area; the desktop colour goes on afterwards (icewm clears the root window).
plumwick_icewm() {
  ICEWM_PRIVCFG="$root/scripts/icewm" icewm >/dev/null 2>&1 &
  PLUMWICK_ICEWM_PID=$!
  # icewm first announces the whole screen as the work area, then takes the taskbar's strip off it.
  local height; height=$(xdpyinfo | awk '/dimensions/{split($2,a,"x"); print a[2]}')
  for _ in $(seq 1 50); do
    xprop -root _NET_WORKAREA 2>/dev/null | awk -F'[=,]' -v h="$height" '$5+0 > 0 && $5+0 < h {ok=1} END {exit !ok}' && break
    sleep 0.1
  done
  xsetroot -solid '#3a6ea5' 2>/dev/null || true
}

# Starts a private Xvfb on a free display number, with icewm, unless PLUMWICK_USE_DISPLAY is set; sets
# DISPLAY. PLUMWICK_BARE_DESKTOP=1 leaves icewm out.
plumwick_xvfb() {
  if [ -n "${PLUMWICK_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  # Xvfb picks the free display number itself (other runs on this machine may be choosing one just now)
  # and writes it out once it accepts connections.
  local number; number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${PLUMWICK_SCREEN:-1920x1080x24}" -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  PLUMWICK_XVFB_PID=$!
  for _ in $(seq 1 100); do
    grep -q '^[0-9][0-9]*$' "$number" && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$number")"
  rm -f "$number"
  xsetroot -solid '#3a6ea5' 2>/dev/null || true
  if [ -z "${PLUMWICK_BARE_DESKTOP:-}" ]; then
    plumwick_icewm
  fi
}

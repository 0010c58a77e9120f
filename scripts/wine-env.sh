# Sourced: a private Wine prefix under build/, quiet, without Mono/Gecko, with code page 936 and the
# display's font names mapped to the installed CJK font.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${PLUMWICK_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
export WINEARCH=win64

# Makes the prefix once; later calls only check the marker.
plumwick_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.plumwick-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    local reg; reg=$(mktemp --suffix=.reg)
    cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Microsoft YaHei"="WenQuanYi Micro Hei"
"微软雅黑"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
REG
    wine regedit /S "$reg" >/dev/null 2>&1 || true
    wineserver -w
    rm -f "$reg"
    touch "$WINEPREFIX/.plumwick-ready"
  fi
}

# Starts a private Xvfb on a free display number unless PLUMWICK_USE_DISPLAY is set; sets DISPLAY.
plumwick_xvfb() {
  if [ -n "${PLUMWICK_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local n=${PLUMWICK_XVFB_DISPLAY:-77}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${PLUMWICK_SCREEN:-1920x1080x24}" -nolisten tcp >/dev/null 2>&1 &
  PLUMWICK_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  xsetroot -solid '#3a6ea5' 2>/dev/null || true
}

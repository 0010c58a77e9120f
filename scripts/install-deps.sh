#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine (run as root). Quiet when all is there.
set -euo pipefail
packages=(
  cmake g++ make pkg-config libgtest-dev libgmock-dev googletest   # native build and unit tests
  g++-mingw-w64-x86-64                                                # the Windows build
  wine wine64                                                         # running it on Linux
  wixl msitools                                                       # the installer and its check
  xvfb x11-utils x11-xserver-utils xdotool imagemagick                # a display, screenshots, pointer
  icewm                                                               # the test desktop's taskbar
  python3 curl                                                        # the tests' web server and its check
  fonts-wqy-microhei locales                                          # Chinese text and code page 936
  clang libclang-rt-14-dev                                            # libFuzzer
  clang-format-14                                                     # the format check
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# Wine takes the ANSI code page from the locale: zh_CN.UTF-8 gives code page 936 (GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

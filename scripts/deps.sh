#!/bin/bash
# Installs the Debian packages the build and the tests need, when missing,
# and then, on a machine that runs 32-bit programs at all, Wine's 32-bit
# side, which runs the device's 32-bit build; makes the Japanese locale Wine
# runs in. A package index that cannot be fetched, or a 32-bit side that
# cannot be installed, is said in one line and does not stop the x86_64
# side: only what that side needs fails the install.
set -euo pipefail
source "$(dirname "$0")/machine.sh"
packages=(cmake make g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 fonts-wine xvfb x11-apps
          imagemagick fonts-ipafont-gothic googletest xdotool iproute2 util-linux
          hostname procps x11vnc novnc websockify chromium locales
          clang)    # reads the device's headers as the device's compiler does
# Node for the browser test's driver, unless the machine has its own.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
missing=()
for p in "${packages[@]}"; do bk_installed "$p" || missing+=("$p"); done
wine32=
if bk_runs_32bit; then
  if bk_wine32_installed; then rm -f "$BK_WINE32_WHY"; else wine32=1; fi
fi

# apt_reason LOG: apt's own reason for a failure, its last error line.
apt_reason() { grep '^E: ' "$1" | tail -n 1 | cut -c4- || true; }

# apt_update: the package lists, tried again once after a pause; an index
# that still fails is named and the lists apt has are used.
apt_update() {
  local log try
  log=$(mktemp)
  for try in 1 2; do
    [ $try = 1 ] || { echo "deps: apt-get update failed; trying again in 5 s"; sleep 5; }
    if $sudo apt-get update -q 2>&1 | tee "$log"; then rm -f "$log"; return; fi
  done
  sed -n 's/^[EW]: Failed to fetch \([^ ]*\) *\(.*\)/deps: package index not updated: \1 (\2); going on with the lists apt has/p' \
    "$log" | grep . || echo "deps: apt-get update failed ($(apt_reason "$log")); going on with the lists apt has"
  rm -f "$log"
}

if [ ${#missing[@]} -gt 0 ] || [ -n "$wine32" ]; then
  if [ -n "$wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
# Last and on its own: the i686 suite is a second check of the same
# program, and without it the x86_64 side still builds, runs and tests.
if [ -n "$wine32" ]; then
  echo "Installing: wine32:i386"
  log=$(mktemp)
  if DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q wine32:i386 2>&1 | tee "$log"; then
    rm -f "$BK_WINE32_WHY"
  else
    why=$(apt_reason "$log")
    mkdir -p "${BK_WINE32_WHY%/*}"
    echo "${why:-apt-get install wine32:i386 failed}" >"$BK_WINE32_WHY"
    echo "deps: Wine's 32-bit side could not be installed (the i686 suite will not run): $(cat "$BK_WINE32_WHY")"
  fi
  rm -f "$log"
fi

# The device's locale for Wine (scripts/wine-env.sh): without the glibc
# locale Wine still speaks Japanese but keeps code page 1252, and reads a
# Shift_JIS file unlike the device. Made once, from the locales package.
if ! locale -a | grep -x ja_JP.utf8 >/dev/null; then
  echo "Making the locale ja_JP.UTF-8"
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# The browser test's driver as its lock file pins it; it drives Debian's
# Chromium and fetches no browser of its own.
web=$(cd "$(dirname "$0")/.." && pwd)/tests/web
if ! cmp -s "$web/package-lock.json" "$web/node_modules/.installed-lock.json"; then
  (cd "$web" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --loglevel=error)
  cp "$web/package-lock.json" "$web/node_modules/.installed-lock.json"
fi

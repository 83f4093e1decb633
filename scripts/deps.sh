#!/bin/bash
# Installs the Debian packages the build and the tests need, when missing,
# and Wine's 32-bit side, which runs the device's 32-bit build, on a machine
# that runs 32-bit programs at all; makes the Japanese locale Wine runs in.
set -euo pipefail
source "$(dirname "$0")/machine.sh"
packages=(cmake make g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 fonts-wine xvfb x11-apps
          imagemagick fonts-ipafont-gothic googletest xdotool iproute2 util-linux
          hostname procps x11vnc novnc websockify chromium locales)
i386=
if bk_runs_32bit; then packages+=(wine32:i386); i386=1; fi
# Node for the browser test's driver, unless the machine has its own.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ -n "$i386" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
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

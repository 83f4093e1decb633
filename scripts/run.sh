#!/bin/bash
# Installs what is missing, builds, and shows Brondelkit on a 240x320 device
# screen (scripts/device.sh): on a display as one small window with keys for
# suspend/resume and the end, with none as a guided tour in pictures;
# --web serves it to a browser instead, with the same keys.
# BK_ARCH=i686 shows the device's 32-bit build instead of the x86_64 one.
# --reg FILE.reg: a device provisioned by that file (see scripts/device.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${BK_ARCH:-x86_64}
case $arch in
  x86_64|i686) ;;
  *) echo "run: BK_ARCH must be x86_64 or i686, not $arch" >&2; exit 2 ;;
esac
source "$root/scripts/machine.sh"
# Refused before anything starts where no install can help; after the
# install where it might.
bk_runs_32bit || bk_arch_runs run "$arch" || exit 2
"$root/scripts/deps.sh"
bk_arch_runs run "$arch" || exit 2
"$root/scripts/build.sh"
export BK_ROOT=$root BK_BUILD=$root/${BK_BUILD_DIR:-build}/$arch
exec "$root/scripts/device.sh" "$@"

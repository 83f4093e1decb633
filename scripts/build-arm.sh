#!/bin/bash
# Builds the device's own ARM executable with CeGCC (scripts/cegcc.sh) into
# build/arm: brondelkit.exe, and Brondelkit.lnk, the shortcut that goes into
# the device's StartUp folder. Exit status 3 when there is no CeGCC.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/cegcc.sh"
why=$(bk_cegcc_reason) || { echo "build-arm: $why" >&2; exit 3; }
out=$root/${BK_BUILD_DIR:-build}/arm
mkdir -p "$out"
cd "$root"
mapfile -t sources < <(bk_arm_sources)
bk_arm_exe "$out/brondelkit.exe" "${sources[@]}"
# Where the CAB installs the program (%CE1%\Brondelkit). A device's
# shortcut is the command's length in characters, '#', and the command;
# no line end, so that the count is the rest of the file.
command='"\Program Files\Brondelkit\brondelkit.exe"'
printf '%d#%s' "${#command}" "$command" >"$out/Brondelkit.lnk"
echo "arm: $out/brondelkit.exe, $out/Brondelkit.lnk"

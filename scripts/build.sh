#!/bin/bash
# Builds both configurations: build/x86_64 and build/i686 (the device's
# 32-bit pointers and record sizes). Both run under Wine and are tested.
# Where CeGCC is installed, also the device's own ARM executable, build/arm
# (scripts/build-arm.sh), which its tests read but nothing here runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
cmake -S "$root" -B "$root/${BK_BUILD_DIR:-build}/x86_64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
      ${BRONDELKIT_TESTS:+-DBRONDELKIT_TESTS=$BRONDELKIT_TESTS} >/dev/null
cmake --build "$root/${BK_BUILD_DIR:-build}/x86_64" -j "$jobs"
cmake -S "$root" -B "$root/${BK_BUILD_DIR:-build}/i686" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      ${BRONDELKIT_TESTS:+-DBRONDELKIT_TESTS=$BRONDELKIT_TESTS} >/dev/null
cmake --build "$root/${BK_BUILD_DIR:-build}/i686" -j "$jobs"
source "$root/scripts/cegcc.sh"
if bk_cegcc_reason >/dev/null; then
  "$root/scripts/build-arm.sh"
fi

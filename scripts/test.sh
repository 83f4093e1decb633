#!/bin/bash
# Installs what is missing, builds both configurations and runs every test
# under Wine on a private virtual display. Leaves no process behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
BRONDELKIT_TESTS=ON "$root/scripts/build.sh"

export BK_ROOT=$root BK_BUILD=$root/${BK_BUILD_DIR:-build}/x86_64
source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"

cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT

start_xvfb 240x320
"$root/scripts/wine-prefix.sh"
# Started apart from ctest, with no inherited descriptors, so that no test
# waits for the server's copies of ctest's output pipes.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

ctest --test-dir "$BK_BUILD" --output-on-failure "$@"

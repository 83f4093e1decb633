#!/bin/bash
# Installs what is missing, builds both configurations with their tests and
# runs every test under Wine on a private virtual display: first for the
# x86_64 build, then for the i686 one (the device's 32-bit records), each
# with its own prefix. Fails when either fails; leaves no process behind.
# Where the i686 suite cannot run (a machine that runs no 32-bit programs,
# or Wine's 32-bit side not installable today) the i686 build is still built
# (its size checks are compile-time), and its line says why.
# Where CeGCC is installed, the device's ARM executable is checked too
# (tests/arm: read, not run, as Wine runs no ARM programs); its line says
# passed, FAILED, or why it did not run.
# Arguments go to ctest (e.g. -R NAME); BK_ARCHS limits the architectures
# run under Wine, and BK_CEGCC names the toolchain (scripts/cegcc.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" || exit 1
BRONDELKIT_TESTS=ON "$root/scripts/build.sh" || exit 1
source "$root/scripts/xvfb.sh"
source "$root/scripts/machine.sh"
source "$root/scripts/cegcc.sh"

# One architecture's whole suite, in a subshell so that its prefix and
# display end with it.
run_arch() (
  export BK_ROOT=$root BK_BUILD=$root/${BK_BUILD_DIR:-build}/$1
  unset WINEPREFIX
  source "$root/scripts/wine-env.sh"
  cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    stop_xvfb
  }
  trap cleanup EXIT
  start_xvfb 240x320
  "$root/scripts/wine-prefix.sh" || exit 1
  # Started apart from ctest, with no inherited descriptors, so that no test
  # waits for the server's copies of ctest's output pipes.
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  ctest --test-dir "$BK_BUILD" --output-on-failure "${@:2}"
)

# The ARM executable's checks read its files and need neither Wine nor a
# display.
run_arm() {
  local dir=$root/${BK_BUILD_DIR:-build}/arm
  cmake -S "$root/tests/arm" -B "$dir" >/dev/null &&
    ctest --test-dir "$dir" --output-on-failure "$@"
}

archs=${BK_ARCHS:-x86_64 i686}
declare -A result
status=0
# suite NAME COMMAND...: one suite, each line of it marked with its name.
suite() {
  echo "=== $1: every test ==="
  if "${@:2}" 2>&1 | sed -u "s/^/[$1] /"; then
    result[$1]=passed
  else
    result[$1]=FAILED; status=1
  fi
}
for arch in $archs; do
  if [ "$arch" = i686 ] && ! why=$(bk_i686_reason); then
    result[$arch]="not run: $why"
    continue
  fi
  suite "$arch" run_arch "$arch" "$@"
done
if why=$(bk_cegcc_reason); then
  suite arm run_arm "$@"
else
  result[arm]="not run: $why"
fi
for arch in $archs arm; do echo "$arch: ${result[$arch]}"; done
exit $status

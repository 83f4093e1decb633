# Sourced: the environment every wine command of this project runs with.
# The prefix lives in the build folder, never in the home directory.
BK_ROOT=${BK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BK_BUILD=${BK_BUILD:-$BK_ROOT/${BK_BUILD_DIR:-build}/x86_64}
export WINEPREFIX=${WINEPREFIX:-$BK_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"

# bk_reg_add KEY ARGS...: wine reg add in both registry views (wine reg runs
# as a 32-bit program, the 64-bit build reads the other view), retried once
# for Wine's rare spurious failure.
bk_reg_add() {
  local view
  for view in /reg:64 /reg:32; do
    wine reg add "$@" /f $view >/dev/null 2>&1 || wine reg add "$@" /f $view >/dev/null
  done
}

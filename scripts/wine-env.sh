# Sourced: the environment every wine command of this project runs with.
# The prefix lives in the build folder, never in the home directory.
BK_ROOT=${BK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BK_BUILD=${BK_BUILD:-$BK_ROOT/${BK_BUILD_DIR:-build}/x86_64}
export WINEPREFIX=${WINEPREFIX:-$BK_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"

# Sourced: the environment every wine command of this project runs with.
# The prefix lives in the build folder, never in the home directory.
BK_ROOT=${BK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BK_BUILD=${BK_BUILD:-$BK_ROOT/${BK_BUILD_DIR:-build}/x86_64}
export WINEPREFIX=${WINEPREFIX:-$BK_BUILD/wineprefix}
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winebus.sys,wineusb.sys=d"

# The loader is named, never left to Debian's wrappers: once Wine's 32-bit
# side is installed they all pick the 32-bit loader, which a machine that
# runs no 32-bit programs refuses. The x86_64 build (its tools and Wine's
# own programs with it) runs on wine64 alone; only the i686 build takes the
# 32-bit loader. Wine starts its own processes with WINELOADER.
case $(basename "$BK_BUILD") in
  i686) export WINELOADER=/usr/lib/wine/wine ;;
  *)    export WINELOADER=/usr/lib/wine/wine64 ;;
esac
export WINESERVER=/usr/lib/wine/wineserver64

# Wine runs in the device's locale: Japanese, ANSI code page 932 (given by
# the glibc locale that scripts/deps.sh makes). Only Wine's processes get
# it, not the terminal or the other tools; and every process of a prefix
# the same one, the one the prefix was made in.
# bk_wine_exec PROGRAM ARGS...: this shell becomes that Wine process.
bk_wine_exec() { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; exec "$WINELOADER" "$@"; }
wine() ( bk_wine_exec "$@" )
wineserver() { "$WINESERVER" "$@"; }
export -f bk_wine_exec wine wineserver

# bk_reg_add KEY ARGS...: wine reg add in both registry views (each named:
# the 64-bit build reads one, the 32-bit build the other), retried once for
# Wine's rare spurious failure.
bk_reg_add() {
  local view
  for view in /reg:64 /reg:32; do
    wine reg add "$@" /f $view >/dev/null 2>&1 || wine reg add "$@" /f $view >/dev/null
  done
}

# bk_device_desktop: the prefix's programs on one 240x320 Wine desktop with
# a taskbar, the device's screen. Through the registry rather than
# "explorer /desktop=", which loses exit codes.
bk_device_desktop() {
  bk_reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
  bk_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 240x320
  bk_reg_add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1
}

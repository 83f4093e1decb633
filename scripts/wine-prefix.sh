#!/bin/bash
# Makes the project's Wine prefix once (WINEPREFIX, inside the build folder):
# Japanese fonts for the dialogs, no window-manager waits, no crash dialog.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.brondelkit-ready" ] && exit 0
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1 || wine reg add "$@" /f >/dev/null; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
reg "$subst" /v 'MS UI Gothic' /t REG_SZ /d IPAGothic
reg "$subst" /v 'System' /t REG_SZ /d IPAGothic
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wineserver -w
touch "$WINEPREFIX/.brondelkit-ready"

#!/bin/bash
# Makes the project's Wine prefix once (WINEPREFIX, inside the build folder):
# Japanese fonts for the dialogs, no window-manager waits, no crash dialog.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
# Bump when the set-up below changes, so that older prefixes are remade.
# The i686 build's prefix needs Wine's 32-bit side: one made before it was
# installed has no 32-bit system folder and can never run that build, so
# "wow64" marks one made with it, and a prefix without the mark is remade.
# The x86_64 build's prefix is made by wine64 alone and needs nothing of it.
# "ja": made in the device's locale, the one it is used in.
if [ "$WINELOADER" = /usr/lib/wine/wine64 ]; then
  version=6-wine64-ja
else
  version=5-wow64-ja
  if [ ! -e /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll ]; then
    echo "Wine's 32-bit side is missing (wine32:i386): run scripts/deps.sh" >&2
    exit 1
  fi
fi
[ "$(cat "$WINEPREFIX/.brondelkit-ready" 2>/dev/null)" = "$version" ] && exit 0
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wine wineboot -i >/dev/null 2>&1
bk_reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
bk_reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
# The proportional face, like the device's own: with the fixed-pitch one
# the dialog units come out too narrow and the dialogs clip their texts.
bk_reg_add "$subst" /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
bk_reg_add "$subst" /v 'System' /t REG_SZ /d IPAPGothic
# Captions in that face too: the missing Tahoma's fallback is so wide that
# the settings caption loses its end. A LOGFONTW: height -12, weight 700,
# default charset, then the face name.
caption_font=f4ffffff000000000000000000000000bc0200000000000100000000
caption_font+=490050004100500047006f0074006800690063000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000
bk_reg_add 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /t REG_BINARY /d "$caption_font"
# At 88 dpi the 10-point lock screen's dialog units are close to the
# device's, and its Close button lies on the 240x320 screen.
bk_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 88
bk_reg_add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 88
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
wineserver -w
echo "$version" >"$WINEPREFIX/.brondelkit-ready"

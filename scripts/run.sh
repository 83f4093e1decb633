#!/bin/bash
# Installs what is missing, builds, and starts Brondelkit under Wine.
# On a display ($DISPLAY) it runs as a user meets it until it is ended from
# its settings dialog. Without one it runs on a virtual 240x320 screen for
# a while (RUN_SECONDS, default 40), taps its notification icon once, and
# saves every new picture of the screen as a PNG into the folder it names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

export BK_ROOT=$root BK_BUILD=$root/${BK_BUILD_DIR:-build}/x86_64
export WINEPREFIX=$BK_BUILD/wineprefix-run
source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
exe=$BK_BUILD/brondelkit.exe

if [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#*:}" ]; then
  "$root/scripts/wine-prefix.sh"
  echo "Brondelkit runs on $DISPLAY; end it with 終了 in its settings dialog."
  wine "$exe"
  status=$?
  wineserver -w
  exit $status
fi

shots=$BK_BUILD/run-screenshots
rm -rf "$shots"; mkdir -p "$shots"
cleanup() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; stop_xvfb; }
trap cleanup EXIT
start_xvfb 240x320
"$root/scripts/wine-prefix.sh"
echo "No display: running on a virtual 240x320 screen ($DISPLAY); screenshots go to $shots"
wine "$exe" &
last= n=0 tapped=0
for ((t = 0; t < ${RUN_SECONDS:-40} * 2; t++)); do
  sleep 0.5
  xwd -display "$DISPLAY" -root -silent >"$shots/.frame.xwd" 2>/dev/null || continue
  sum=$(md5sum <"$shots/.frame.xwd")
  if [ "$sum" != "$last" ]; then
    last=$sum; n=$((n + 1))
    convert "xwd:$shots/.frame.xwd" "$shots/$(printf '%03d' $n).png"
    echo "  $(printf '%03d' $n).png at $((t / 2)) s"
  fi
  # A few seconds in, Enter: the first run's settings dialog closes with its
  # default button, as a user would close it; otherwise it changes nothing.
  [ $t = 8 ] && xdotool key Return 2>/dev/null || true
  # Halfway through, a tap on the notification icon, as a user would.
  if [ $tapped = 0 ] && [ $t -ge ${RUN_SECONDS:-40} ]; then
    tapped=1
    tray=$(xdotool search --name 'Wine System Tray' 2>/dev/null | head -n 1 || true)
    if [ -n "$tray" ]; then
      eval "$(xdotool getwindowgeometry --shell "$tray")"
      xdotool mousemove $((X + 13)) $((Y + 32)) click 1 || true
      echo "  tapped the notification icon"
    fi
  fi
done
rm -f "$shots/.frame.xwd"
echo "Saved $n screenshots in $shots"

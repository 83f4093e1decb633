#!/bin/bash
# The run command with no display: the guided tour walks to its end on a
# private Xvfb, leaves every named step as a device-sized picture and the
# contact sheet, and nothing of the session remains.
set -euo pipefail
tour=$BK_BUILD/tour-test
out=$BK_BUILD/device-tour.out
status=0
BK_TOUR=$tour env -u DISPLAY "$BK_ROOT/scripts/device.sh" >"$out" 2>&1 || status=$?
cat "$out"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ $status = 0 ] || fail "tour ended with $status"
steps="01-first-run-locked 02-unlocked 03-password-set 04-lock-waiting 05-lock-password
       06-passed 07-icon-tap-settings 08-resume-fresh-lock 09-passed-again 10-ended-exit-0"
for s in $steps; do
  [ "$(identify -format %wx%h "$tour/$s.png" 2>/dev/null)" = 240x320 ] || fail "no picture $s"
done
[ "$(ls "$tour" | wc -l)" = 11 ] || fail "unexpected files: $(ls "$tour")"
identify "$tour/contact-sheet.png" >/dev/null || fail "no contact sheet"
display=$(sed -n 's/.*device screen (:\([0-9]*\)).*/\1/p' "$out")
[ -n "$display" ] && [ ! -e "/tmp/.X11-unix/X$display" ] || fail "its Xvfb :$display still runs"
left=$(grep -lsz "^WINEPREFIX=$BK_BUILD/device-tour/prefix$" /proc/[0-9]*/environ || true)
[ -z "$left" ] || fail "still running: $left"
echo PASS

#!/bin/bash
# The run command's preview of a device provisioned by the example file,
# which sets a password, with no display: the lock screen waiting, then
# asking that password (answered with it), the settings dialog from the
# icon, a fresh lock screen after a resume; a picture each, a contact sheet.
set -euo pipefail
tour=$BK_BUILD/preview-test
out=$BK_BUILD/device-preview.out
status=0
BK_TOUR=$tour env -u DISPLAY "$BK_ROOT/scripts/device.sh" --reg "$BK_ROOT/docs/brondelkit.reg" \
  >"$out" 2>&1 || status=$?
cat "$out"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ $status = 0 ] || fail "preview ended with $status"
for s in 01-lock-waiting 02-lock-password 03-icon-tap-settings 04-resume-lock; do
  [ "$(identify -format %wx%h "$tour/$s.png" 2>/dev/null)" = 240x320 ] || fail "no picture $s"
done
[ "$(ls "$tour" | wc -l)" = 5 ] || fail "unexpected files: $(ls "$tour")"
grep -qx "Contact sheet: $tour/contact-sheet.png" "$out" || fail "no contact sheet named"
left=$(grep -lsz "^WINEPREFIX=$BK_BUILD/device-tour/prefix$" /proc/[0-9]*/environ || true)
[ -z "$left" ] || fail "still running: $left"
echo PASS

#!/bin/bash
# The run command's session on a display (our own Xvfb): r twice, then q on
# its stdin. Each r must bring a fresh lock screen, q must end the program
# with 0 through its close request, and nothing of the session may remain.
set -euo pipefail
source "$BK_ROOT/scripts/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb 640x480
out=$BK_BUILD/device-keys.out
status=0
printf 'rrq' | BK_DEVICE_LAN=down "$BK_ROOT/scripts/device.sh" >"$out" 2>&1 || status=$?
cat "$out"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ $status = 0 ] || fail "session ended with $status"
[ "$(grep -c '^resumed: a fresh lock screen is up$' "$out")" = 2 ] || fail "not two fresh lock screens"
grep -q '^Brondelkit ended with exit code 0$' "$out" || fail "no end with exit code 0"
left=$(grep -lsz "^WINEPREFIX=$BK_BUILD/device-keys/prefix$" /proc/[0-9]*/environ || true)
[ -z "$left" ] || fail "still running: $left"
echo PASS

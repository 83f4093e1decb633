#!/bin/bash
# The run command's browser mode: headless Chromium opens the one address
# it prints, sees the 240x320 device screen and closes the first-run
# settings dialog with a click on the page; the lock screen follows. Only
# loopback listens; a port in use or not a number is refused; q ends it
# with 0 and nothing of it remains.
set -euo pipefail
source "$BK_ROOT/scripts/wine-env.sh"
out=$BK_BUILD/device-web.out in=$BK_BUILD/device-web.in
prefix=$BK_BUILD/device-web/prefix
fail() { echo "FAIL: $*" >&2; cat "$out" >&2; exit 1; }
# Every process of a run carries its mark.
marked() { grep -lsz "^BK_WEB_TEST=$1$" /proc/[0-9]*/environ | cut -d/ -f3 || true; }
ctl() {
  local pid; pid=$(grep -lsz "^WINEPREFIX=$prefix$" /proc/[0-9]*/environ | head -n 1 | cut -d/ -f3)
  nsenter -t "$pid" -n -u -m env WINEPREFIX="$prefix" "$BK_ROOT/scripts/wine-exec.sh" \
    "$BK_BUILD/screenctl.exe" "$@" </dev/null | tr -d '\r'
}
# A port nothing holds now, as the kernel hands them out.
port=$(node -e 's = require("net").createServer().listen(0, "127.0.0.1", () => {
  console.log(s.address().port); s.close() })')

rm -f "$in"; mkfifo "$in"
BK_WEB_TEST=$$ BK_WEB_PORT=$port BK_DEVICE_LAN=down env -u DISPLAY \
  "$BK_ROOT/scripts/device.sh" --web <"$in" >"$out" 2>&1 &
session=$!
exec 3>"$in"
# Its input's end ends the session, whatever failed.
trap 'exec 3>&-; wait $session 2>/dev/null || true' EXIT
url=
while [ -z "$url" ]; do
  kill -0 $session 2>/dev/null || fail "the session ended before it printed an address"
  url=$(sed -n 's/^  \(http:.*\)/\1/p' "$out"); sleep 0.2
done
export DISPLAY=$(sed -n 's/.*device screen (\(:[0-9]*\),.*/\1/p' "$out")

addrs=$(ss -ltnupH | grep -F "$(marked $$ | sed 's/.*/pid=&,/')" | awk '{print $5}')
echo "the session listens on:" $addrs
[ "$(grep -c '^127\.0\.0\.1:' <<<"$addrs")" -ge 2 ] && ! grep -qv '^127\.0\.0\.1:' <<<"$addrs" ||
  fail "not the VNC server and the bridge on loopback alone"

for bad in "$port/is in use" "60x80/must be a port number"; do
  s=0; BK_WEB_TEST=bad$$ BK_WEB_PORT=${bad%%/*} "$BK_ROOT/scripts/device.sh" --web </dev/null \
    >"$out.bad" 2>&1 || s=$?
  [ $s != 0 ] && grep -q "${bad#*/}" "$out.bad" || fail "BK_WEB_PORT=${bad%%/*}: $(cat "$out.bad")"
  [ -z "$(marked bad$$)" ] || fail "left running after BK_WEB_PORT=${bad%%/*}"
done

ctl wait settings-locked 60000 >/dev/null || fail "no first-run settings dialog"
xy=$(ctl where 1) || fail "no close button"
node "$BK_ROOT/tests/web/tap.js" "$url" $xy || fail "no tap through the browser"
ctl wait lock-waiting 20000 >/dev/null || fail "the close button's tap did not bring the lock screen"

echo q >&3
status=0; wait $session || status=$?
cat "$out"
[ $status = 0 ] || fail "session ended with $status"
grep -q '^Brondelkit ended with exit code 0$' "$out" || fail "no end with exit code 0"
left=$(marked $$)
[ -z "$left" ] || fail "still running: $left"
echo PASS

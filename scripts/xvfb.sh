# Sourced: start_xvfb WIDTHxHEIGHT starts a private virtual display and
# exports DISPLAY; stop_xvfb ends it. Nothing else on the machine is touched.
start_xvfb() {
  local size=${1:-240x320}
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  BK_XVFB_PID=$!
  local n; read -r n <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$n"
}
stop_xvfb() {
  if [ -n "${BK_XVFB_PID:-}" ]; then
    kill "$BK_XVFB_PID" 2>/dev/null || true
    wait "$BK_XVFB_PID" 2>/dev/null || true
    BK_XVFB_PID=
  fi
}

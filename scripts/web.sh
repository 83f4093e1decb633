# Sourced: the device screen served to a browser. A VNC server on the
# session's display and a WebSocket bridge that also serves noVNC's page,
# both on 127.0.0.1 only, behind a password made for this session alone.
#   web_check   the port (BK_WEB_PORT, default 6080) and the packages
#   web_start   starts both, sets BK_WEB_URL and BK_WEB_SSH
#   web_stop    ends both with every process they started
BK_NOVNC=/usr/share/novnc

web_fail() {
  echo "device: $*" >&2
  return 1
}

web_check() {
  BK_WEB_PORT=${BK_WEB_PORT:-6080}
  [[ $BK_WEB_PORT =~ ^[0-9]{1,5}$ ]] && ((10#$BK_WEB_PORT >= 1 && 10#$BK_WEB_PORT <= 65535)) ||
    web_fail "BK_WEB_PORT must be a port number from 1 to 65535, not '$BK_WEB_PORT'" || return
  BK_WEB_PORT=$((10#$BK_WEB_PORT))
  local missing=
  command -v x11vnc >/dev/null || missing+=" x11vnc"
  command -v websockify >/dev/null || missing+=" websockify"
  [ -f "$BK_NOVNC/vnc.html" ] || missing+=" novnc"
  [ -z "$missing" ] ||
    web_fail "--web needs the package(s)$missing; scripts/deps.sh installs them" || return
  web_port_free "$BK_WEB_PORT" ||
    web_fail "port $BK_WEB_PORT is in use; choose another with BK_WEB_PORT" || return
}

web_port_free() {
  [ -z "$(ss -ltnH "sport = :$1")" ]
}

# The TCP port PID listens on, once it does; fails when PID has ended first.
web_port_of() {
  local port
  while kill -0 "$1" 2>/dev/null; do
    port=$(ss -ltnpH | awk -v p="pid=$1," 'index($0, p) && !n++ { sub(/.*:/, "", $4); print $4 }')
    [ -z "$port" ] || { echo "$port"; return 0; }
    sleep 0.1
  done
  return 1
}

# web_spawn VAR COMMAND...: COMMAND in a process group of its own, so that
# web_stop also ends whatever it forks (the bridge forks for each browser).
web_spawn() {
  local -n pid_var=$1; shift
  setsid "$@" </dev/null &
  pid_var=$!
}

web_start() {
  local dir=$BK_BUILD/device-web-serve password= i
  local chars=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789
  rm -rf "$dir"; mkdir -p "$dir"
  # VNC passwords count 8 characters.
  for ((i = 0; i < 8; i++)); do password+=${chars:SRANDOM % ${#chars}:1}; done
  (umask 077; echo "$password" >"$dir/password")
  # Any free port from 5900 up; the server removes the password file once read.
  web_spawn BK_VNC_PID x11vnc -display "$DISPLAY" -localhost -noipv6 -forever -shared -quiet \
            -passwdfile "rm:$dir/password" >"$dir/vnc.log" 2>&1
  local vnc_port
  vnc_port=$(web_port_of "$BK_VNC_PID") || web_fail "the VNC server did not start ($dir/vnc.log)" ||
    return
  web_spawn BK_BRIDGE_PID websockify --web "$BK_NOVNC" "127.0.0.1:$BK_WEB_PORT" \
            "127.0.0.1:$vnc_port" >"$dir/bridge.log" 2>&1
  web_port_of "$BK_BRIDGE_PID" >/dev/null ||
    web_fail "cannot listen on 127.0.0.1:$BK_WEB_PORT ($dir/bridge.log)" || return
  # The password in the fragment: the browser keeps it, no request carries it.
  export BK_WEB_URL="http://127.0.0.1:$BK_WEB_PORT/vnc.html?autoconnect=true&resize=off#password=$password"
  export BK_WEB_SSH="ssh -L $BK_WEB_PORT:127.0.0.1:$BK_WEB_PORT $(id -un)@$(hostname)"
}

web_stop() {
  local pid
  for pid in ${BK_BRIDGE_PID:-} ${BK_VNC_PID:-}; do
    kill -- -"$pid" 2>/dev/null || true
    while kill -0 -- -"$pid" 2>/dev/null; do sleep 0.1; done
    wait "$pid" 2>/dev/null || true
  done
  BK_BRIDGE_PID= BK_VNC_PID=
  rm -f "$BK_BUILD/device-web-serve/password"
}

# Sourced inside new network, UTS and mount namespaces: a Wine session of
# its own for a driver program, with nothing reaching the machine's network.

# ns_names WORK HOST [ALIAS...]: our own hosts file and an empty resolver
# configuration (nothing is asked of a DNS server); HOST becomes the name.
ns_names() {
  local work=$1 host=$2; shift 2
  printf '127.0.0.1 localhost\n127.0.1.1 %s\n' "$host $*" >"$work/hosts"
  : >"$work/resolv.conf"
  mount --bind "$work/hosts" /etc/hosts
  mount --bind "$work/resolv.conf" /etc/resolv.conf
  hostname "$host"
  ip link set lo up
}

# ns_lan STATE: the namespace's one interface d0 as STATE gives it: down
# (none), up (192.0.2.10/24), noaddress (up, with no address).
ns_lan() {
  ip link del d0 2>/dev/null || true
  case $1 in
    down) return 0 ;;
    up|noaddress) ;;
    *) echo "unknown interface state $1" >&2; return 1 ;;
  esac
  ip link add d0 type ifb
  [ "$1" = noaddress ] || ip addr add 192.0.2.10/24 dev d0
  ip link set d0 up
}

# ns_prefix WORK: a private copy of the prepared prefix, served by a
# wineserver started here, so that Wine lists this namespace's adapters.
# With BK_NS_DESKTOP set, every program of the session runs on one Wine
# desktop of the device's 240x320 with its taskbar, as the device session
# does, instead of each window on the bare X display.
ns_prefix() {
  cp -a "$WINEPREFIX" "$1/prefix"
  export WINEPREFIX=$1/prefix
  trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
  # Before the session's server starts: its first program makes the desktop.
  if [ -n "${BK_NS_DESKTOP:-}" ]; then bk_device_desktop; wineserver -w; fi
  wineserver -p </dev/null >/dev/null 2>&1
  # Wine's service processes start with the first program; started here,
  # they hold no copy of the driver's pipes.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# ns_drive HANDLER DRIVER.exe [args...]: runs the driver under Wine and
# passes each line it prints that starts with "@@" to HANDLER, whose own
# output goes back to the driver's stdin; other lines are shown. Returns
# the driver's exit status, or 1 when HANDLER failed.
ns_drive() {
  local handler=$1; shift
  coproc DRIVER { wine "$@" 2>&1; }
  local driver_pid=$DRIVER_PID   # unset by bash once the coprocess ends
  local out in
  # Our own copies: bash closes the coprocess's descriptors when it ends.
  exec {out}<&"${DRIVER[0]}" {in}>&"${DRIVER[1]}"
  local status=0 part= line
  ns_line() {
    local l=${1%$'\r'}
    if [[ $l == "@@"* ]]; then
      "$handler" "$l" >&"$in" || status=1
    else
      printf '%s\n' "$l"
    fi
  }
  # Read until the driver has ended, not until the pipe closes: a process
  # it started may still hold the pipe. A read that times out keeps what it
  # got of the line; the rest follows.
  while kill -0 "$driver_pid" 2>/dev/null; do
    if IFS= read -r -t 1 line <&"$out"; then ns_line "$part$line"; part=; else part+=$line; fi
  done
  while IFS= read -r -t 1 line <&"$out"; do ns_line "$part$line"; part=; done || true
  [ -z "$part" ] || ns_line "$part"
  wait "$driver_pid" || status=$?
  exec {out}<&- {in}>&-
  return $status
}

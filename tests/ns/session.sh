#!/bin/bash
# Runs one Windows test driver in a Wine session of its own, inside the
# Linux network, UTS and mount namespaces this script is started in (by
# namespace.sh). Only lo exists at first; the driver asks for network
# changes by printing "@@NET <state>" and waits for "ok" on its stdin.
#   session.sh NAME DRIVER.exe [driver arguments...]
set -euo pipefail
name=$1; shift
source "$BK_ROOT/scripts/wine-env.sh"

work=$BK_BUILD/ns-$name
rm -rf "$work"; mkdir -p "$work"
long_name=brondelkit-test-host
short_name=bkhost

# Our own name service files: nothing is asked of a DNS server.
printf '127.0.0.1 localhost\n127.0.1.1 %s %s\n' "$long_name" "$short_name" >"$work/hosts"
: >"$work/resolv.conf"
mount --bind "$work/hosts" /etc/hosts
mount --bind "$work/resolv.conf" /etc/resolv.conf
hostname "$long_name"
ip link set lo up

net() {
  ip link del d0 2>/dev/null || true
  hostname "$long_name"
  case "$1" in
    down) ;;
    up)
      ip link add d0 type ifb
      ip addr add 192.0.2.10/24 dev d0
      ip link set d0 up ;;
    noaddress-shortname)
      ip link add d0 type ifb
      ip link set d0 up
      hostname "$short_name" ;;
    *) echo "unknown network state $1" >&2; return 1 ;;
  esac
}

# A private copy of the prepared prefix, served by a wineserver started here,
# so that Wine lists this namespace's adapters and not the machine's.
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
# Wine's own helper processes start now, holding no copy of the driver's pipes.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

coproc DRIVER { wine "$@" 2>&1; }
driver_pid=$DRIVER_PID
out=${DRIVER[0]} in=${DRIVER[1]}
while kill -0 "$driver_pid" 2>/dev/null; do
  IFS= read -r -t 1 line <&"$out" || continue
  line=${line%$'\r'}
  if [[ $line == "@@NET "* ]]; then
    if net "${line#@@NET }"; then echo ok >&"$in"; else echo failed >&"$in"; fi
  else
    printf '%s\n' "$line"
  fi
done
# What the driver printed last, after its process ended.
{ while IFS= read -r -t 1 line <&"$out"; do printf '%s\n' "${line%$'\r'}"; done; } 2>/dev/null || true
status=0
wait "$driver_pid" || status=$?
exit $status

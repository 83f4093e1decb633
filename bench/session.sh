#!/bin/bash
# One Wine session for the bench, inside the network, UTS and mount
# namespaces run.sh starts it in: a usable network (an interface with a
# 192.0.2.0/24 address and a short host name that resolves from our own
# hosts file), a private prefix and wineserver, and the timing driver.
# Answers the driver's "@@IDLE" by measuring both programs from Linux.
#   session.sh OUT_RAW DRIVER.exe [driver arguments...]
set -euo pipefail
raw=$1; shift
source "$BK_ROOT/scripts/wine-env.sh"
idle_seconds=${BENCH_IDLE_SECONDS:-60}

work=$BK_BUILD/bench/ns
rm -rf "$work"; mkdir -p "$work"
# Seven letters: gethostname fits it into the probe's 8 bytes, so the probe
# makes every call, the name lookup included.
host=bkbench
printf '127.0.0.1 localhost\n127.0.1.1 %s\n' "$host" >"$work/hosts"
: >"$work/resolv.conf"
mount --bind "$work/hosts" /etc/hosts
mount --bind "$work/resolv.conf" /etc/resolv.conf
hostname "$host"
ip link set lo up
ip link add d0 type ifb
ip addr add 192.0.2.10/24 dev d0
ip link set d0 up

cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
# Wine's service processes start with the first program; started here, they
# do not inherit the driver's pipe and keep it open after the driver ends.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

# The Linux process of a Windows program of this session.
linux_pid() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(cat "$p/comm" 2>/dev/null)" = "$1" ] || continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${p#/proc/}"; return 0
  done
  return 1
}
status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
# utime + stime of all threads, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# Every time any thread of the process was woken and scheduled.
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n + 0 }'
}

# In the driver's order: baseline, program, variants (run.sh names them).
measure_idle() {
  local names=($BENCH_COMMS) pids=() n p
  for n in "${names[@]}"; do
    p=$(linux_pid "$n") || { echo "bench: process $n not found"; return 1; }
    pids+=("$p")
  done
  local hwm=() rss=() ticks=() wakes=()
  for p in "${pids[@]}"; do
    hwm+=("$(status_kib "$p" VmHWM)"); rss+=("$(status_kib "$p" VmRSS)")
    ticks+=("$(cpu_ticks "$p")"); wakes+=("$(switches "$p")")
  done
  echo "@@RESULT peak KiB ${hwm[*]}" >>"$raw"
  echo "@@RESULT rss KiB ${rss[*]}" >>"$raw"
  echo "bench: idle for ${idle_seconds} s (pids ${pids[*]})"
  sleep "$idle_seconds"
  local dt=() dw=() i
  for i in "${!pids[@]}"; do
    dt+=($(($(cpu_ticks "${pids[$i]}") - ticks[i])))
    dw+=($(($(switches "${pids[$i]}") - wakes[i])))
  done
  echo "@@RESULT idle_ticks ticks ${dt[*]}" >>"$raw"
  echo "@@RESULT idle_wakeups count ${dw[*]}" >>"$raw"
}

coproc DRIVER { wine "$@" 2>&1; }
driver_pid=$DRIVER_PID   # bash unsets DRIVER_PID once the coprocess ends
# Our own copies: bash closes the coprocess's descriptors when it ends.
exec {out}<&"${DRIVER[0]}" {in}>&"${DRIVER[1]}"
status=0
handle() {
  local line=${1%$'\r'}
  case $line in
    "@@RESULT "*) echo "$line" >>"$raw"; echo "bench: ${line#@@RESULT }" ;;
    "@@IDLE")
      if measure_idle; then echo ok >&"$in"; else echo failed >&"$in"; status=1; fi ;;
    "@@FAIL "*) echo "bench: FAILED: ${line#@@FAIL }"; status=1 ;;
    *) printf '%s\n' "$line" ;;
  esac
}
# Read until the driver has ended, not until the pipe closes: a process it
# started may still hold the pipe.
# A read that times out keeps what it got of the line; the rest follows.
part=
while kill -0 "$driver_pid" 2>/dev/null; do
  if IFS= read -r -t 1 line <&"$out"; then handle "$part$line"; part=; else part+=$line; fi
done
while IFS= read -r -t 1 line <&"$out"; do handle "$part$line"; part=; done || true
[ -z "$part" ] || handle "$part"
wait "$driver_pid" || status=$?
exit $status

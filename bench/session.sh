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
source "$BK_ROOT/scripts/wine-ns.sh"
idle_seconds=${BENCH_IDLE_SECONDS:-60}

work=$BK_BUILD/bench/ns
rm -rf "$work"; mkdir -p "$work"
# Seven letters: gethostname fits it into the probe's 8 bytes, so the probe
# makes every call, the name lookup included.
ns_names "$work" bkbench
ip link add d0 type ifb
ip addr add 192.0.2.10/24 dev d0
ip link set d0 up

ns_prefix "$work"

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

# The program's resident and peak memory (KiB) and its threads, as Linux
# counts them, for the soak.
footprint() {
  local p
  p=$(linux_pid brondelkit.exe) || { echo "process not found"; return 1; }
  echo "$(status_kib "$p" VmRSS) $(status_kib "$p" VmHWM) $(ls "/proc/$p/task" | wc -l)"
}

on_request() {
  case $1 in
    "@@RESULT "*|"@@SOAK "*) echo "$1" >>"$raw"; echo "bench: ${1#@@* }" >&2 ;;
    "@@FOOTPRINT") footprint ;;
    "@@IDLE") if measure_idle >&2; then echo ok; else echo failed; return 1; fi ;;
    "@@FAIL "*) echo "bench: FAILED: ${1#@@FAIL }" >&2; return 1 ;;
    *) printf '%s\n' "$1" >&2 ;;
  esac
}

ns_drive on_request "$@"

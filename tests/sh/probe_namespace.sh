#!/bin/bash
# The production readiness probe under Wine, on a network the test makes
# itself: the whole Wine session runs inside private network, UTS and mount
# namespaces, so no traffic leaves it and the machine's own interfaces and
# names are never touched. One netprobe.exe answers several calls while the
# interfaces change between them.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"

if [ "${1:-}" != --inside ]; then
  source "$BK_ROOT/scripts/wine-env.sh"
  [ -f "$WINEPREFIX/.brondelkit-ready" ] || { echo "FAIL: no ready Wine prefix at $WINEPREFIX"; exit 1; }
  work=$(mktemp -d "$BK_BUILD/probe-ns.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  cp -a "$WINEPREFIX" "$work/prefix"
  if ! unshare --net --uts --mount --fork true 2>"$work/unshare.err"; then
    echo "FAIL: cannot make network/UTS/mount namespaces: $(cat "$work/unshare.err")"
    echo "      (needs root or unprivileged user namespaces; this test is not skipped)"
    exit 1
  fi
  BK_NS_WORK=$work unshare --net --uts --mount --fork -- bash "$0" --inside
  exit $?
fi

# ---- inside the namespaces ----
work=$BK_NS_WORK
export WINEPREFIX=$work/prefix
source "$BK_ROOT/scripts/wine-env.sh"
unset DISPLAY
long_name=brondelkit-ns     # 8 characters or more: gethostname into 8 bytes fails
short_name=bkdev            # fits, and resolves through our own hosts file

source "$BK_ROOT/scripts/wine-ns.sh"
ns_names "$work" "$long_name" "$short_name"

failures=0
cleanup() {
  if [ -n "${NETPROBE_PID:-}" ]; then
    echo quit >&"${NETPROBE[1]}" 2>/dev/null || true
    wait "$NETPROBE_PID" 2>/dev/null || true
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
trap cleanup EXIT

# A server of our own, started here so that Wine sees only this namespace.
wineserver -p </dev/null >/dev/null 2>&1
coproc NETPROBE { bk_wine_exec "$BK_BUILD/netprobe.exe" 2>"$work/netprobe.err"; }

ask() {
  local answer
  echo "$1" >&"${NETPROBE[1]}"
  if ! IFS= read -r -t 120 answer <&"${NETPROBE[0]}"; then
    echo "FAIL: netprobe.exe gave no answer to '$1'"; cat "$work/netprobe.err"; exit 1
  fi
  printf '%s' "${answer%$'\r'}"
}

expect_probe() {
  local want=$1 what=$2 got
  got=$(ask probe)
  if [ "$got" = "$want" ]; then
    echo "ok   $what: $got"
  else
    echo "FAIL $what: probe gave '$got', expected '$want'"
    echo "     interfaces: $(ip -brief addr | tr '\n' ';')"
    echo "     listed: $(ask adapters)  name: $(ask name)"
    failures=$((failures + 1))
  fi
}

expect_name() {
  local want=$1 got
  got=$(ask name)
  if [ "$got" = "$want" ]; then
    echo "ok   host name step: $got"
  else
    echo "FAIL host name step gave '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}

# 1. Only lo and a name too long to fetch: the list is empty, not usable.
expect_name "- FAIL NORESOLVE"
expect_probe -1 "only lo, long host name"

# 2. Only lo, and a short name that resolves: the empty list returns early
#    and the name is never asked. (Checked before any interface exists:
#    Wine keeps listing a deleted interface for the rest of its session.)
hostname "$short_name"
expect_name "$short_name OK RESOLVES"
expect_probe -1 "only lo, short host name that resolves"

# 3. An interface with an address comes up: the same process sees it on
#    its next call.
hostname "$long_name"
ip link add d0 type ifb
ip addr add 192.0.2.10/24 dev d0
ip link set d0 up
expect_probe 0 "ifb d0 up with 192.0.2.10/24, long host name"

# 4. Its address gone (listed as 0.0.0.0): the walk fails; the long name
#    cannot help, a short name that resolves through the hosts file does.
ip addr flush dev d0
expect_probe -1 "d0 without address, long host name"
hostname "$short_name"
expect_name "$short_name OK RESOLVES"
expect_probe 0 "d0 without address, short host name in the hosts file"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all namespace checks passed"

#!/bin/bash
# Runs one Windows test driver in a Wine session of its own, inside the
# Linux network, UTS and mount namespaces this script is started in (by
# namespace.sh). Only lo exists at first; the driver asks for network
# changes by printing "@@NET <state>" and waits for "ok" on its stdin.
#   session.sh NAME DRIVER.exe [driver arguments...]
set -euo pipefail
name=$1; shift
source "$BK_ROOT/scripts/wine-env.sh"
source "$BK_ROOT/scripts/wine-ns.sh"

work=$BK_BUILD/ns-$name
rm -rf "$work"; mkdir -p "$work"
long_name=brondelkit-test-host   # too long for the probe's 8 bytes
short_name=bkhost
ns_names "$work" "$long_name" "$short_name"

net() {
  hostname "$long_name"
  case "$1" in
    noaddress-shortname)
      ns_lan noaddress
      hostname "$short_name" ;;
    *) ns_lan "$1" ;;
  esac
}

on_request() {
  case $1 in
    "@@NET "*) if net "${1#@@NET }" >&2; then echo ok; else echo failed; fi ;;
    *) echo "unknown request: $1" >&2; echo failed ;;
  esac
}

ns_prefix "$work"
ns_drive on_request "$@"

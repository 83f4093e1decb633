#!/bin/bash
# The ARM build refuses, in a copy of a device source, a record read
# through a cast of a buffer (gcc may reorder such reads at -Os; with
# -Wall -Werror it refuses them) and a call of the desktop's
# Shell_NotifyIconW, which CeGCC declares and no device's coredll exports.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
cd "$BK_ROOT"
source scripts/cegcc.sh
work=$BK_BUILD/faults
rm -rf "$work"; mkdir -p "$work"
status=0
fail() { echo "FAIL: $*"; status=1; }
mapfile -t sources < <(bk_arm_sources)

# The whole executable, with the copy in its source's place.
refuser="the ARM build"
build_copy() {
  local src list=()
  for src in "${sources[@]}"; do
    if [ "$src" = "$2" ]; then list+=("$1"); else list+=("$src"); fi
  done
  bk_arm_exe "$work/copy.exe" "${list[@]}"
}
source "$BK_ROOT/tests/support/reject.sh"
reject cast-read "break strict-aliasing rules" src/platform/resumesource.cpp \
  'DWORD CastRead(DWORD* cbRead) {' '  DWORD notice[NOTICE_UNITS], dwFlags;' \
  '  ReadMsgQueue(s_hQueue, notice, sizeof(notice), cbRead, 0, &dwFlags);' \
  '  const POWER_BROADCAST* pb = (const POWER_BROADCAST*)notice;' '  return pb->Message; }'
reject wide-call "undefined reference to .Shell_NotifyIconW'" src/shell/trayicon.cpp \
  'BOOL WideCall(PNOTIFYICONDATA p) { return Shell_NotifyIconW(NIM_ADD, p); }'
[ $status = 0 ] && echo "the ARM build refuses a record read through a cast and the desktop's Shell_NotifyIconW"
exit $status

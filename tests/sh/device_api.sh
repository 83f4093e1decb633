#!/bin/bash
# The program outside src/platform/ calls only what the device offers: each
# platform function its objects import (undefined in them, defined in none of
# the program's objects) must be on docs/device-api.txt, and each line there
# must still be called. Then an object calling an off-list function must be
# rejected by name, so the check is known to bite.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
export LC_ALL=C
list=$BK_ROOT/docs/device-api.txt
cache=$BK_BUILD/CMakeCache.txt
nm=$(sed -n 's/^CMAKE_NM:[A-Z]*=//p' "$cache")
# A toolchain file's compiler is not cached; CMake records it per version.
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
[ -n "$cxx" ] || cxx=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' \
                          "$BK_BUILD"/CMakeFiles/*/CMakeCXXCompiler.cmake | head -n 1)
[ -x "$nm" ] && [ -x "$cxx" ] || { echo "FAIL: no nm or C++ compiler in $cache"; exit 1; }

# i686 C names carry a leading underscore and stdcall's @N; __imp_ marks an
# import through a DLL's table.
case $("$cxx" -dumpmachine) in i686-*) lead=_ ;; *) lead= ;; esac
names() {
  "$nm" "$@" | awk 'NF >= 2 { print $NF }' |
    sed -E "s/^__imp_//; s/^$lead//; s/@[0-9]+\$//" | sort -u
}
# GCC emits these itself (stack probes, 64-bit division on 32-bit x86) and
# links them from libgcc into the exe; the device's compiler has its own.
helpers='^_*(chkstk_ms|chkstk|alloca|u?divdi3|u?moddi3)$'

bad=$(grep -v '^#' "$list" | awk 'NF == 1' || true)
[ -z "$bad" ] || { echo "FAIL: line without a device library in $list: $bad"; exit 1; }
listed=$(grep -v '^#' "$list" | awk 'NF { print $1 }' | sort -u)

# Platform functions called outside src/platform/ by the given objects.
platform_calls() {
  local obj own=()
  for obj in "$@"; do
    case $obj in */src/platform/*) ;; *) own+=("$obj") ;; esac
  done
  comm -23 <(names -u "${own[@]}") <(names --defined-only "$@") | grep -vE "$helpers" || true
}
# Those of them that the list lacks.
off_list() { comm -23 <(platform_calls "$@") <(echo "$listed"); }

mapfile -t objs < <(find "$BK_BUILD/CMakeFiles/brondelcore.dir/src" \
                         "$BK_BUILD/CMakeFiles/brondelkit.dir/src" -name '*.obj' | sort)
printf '%s\n' "${objs[@]}" | grep -q '/shell/winmain\.cpp\.obj$' ||
  { echo "FAIL: the program's objects are not under $BK_BUILD"; exit 1; }

calls=$(platform_calls "${objs[@]}")
off=$(off_list "${objs[@]}")
stale=$(comm -13 <(echo "$calls") <(echo "$listed"))
status=0
for f in $off; do echo "FAIL: calls $f, which is not on docs/device-api.txt"; status=1; done
for f in $stale; do echo "FAIL: docs/device-api.txt lists $f, which nothing calls"; status=1; done
[ $status = 0 ] || exit 1
echo "$(echo "$calls" | wc -l) platform functions, all on the list"

work=$BK_BUILD/device_api
mkdir -p "$work"
printf '%s\n' '#include <windows.h>' \
  'void OffList(HWND h) { FLASHWINFO f = { sizeof f, h, FLASHW_ALL, 1, 0 }; FlashWindowEx(&f); }' \
  >"$work/offlist.cpp"
"$cxx" -c "$work/offlist.cpp" -o "$work/offlist.obj"
off=$(off_list "${objs[@]}" "$work/offlist.obj")
[ "$off" = FlashWindowEx ] ||
  { echo "FAIL: an object calling FlashWindowEx was not rejected by that name (got: ${off:-nothing})"; exit 1; }
echo "an object calling FlashWindowEx is rejected"

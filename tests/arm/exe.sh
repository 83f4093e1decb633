#!/bin/bash
# The device's ARM executable (scripts/build-arm.sh), read as the device
# reads it:
#  - a PE32 program for ARM, Windows CE GUI 4.10, with the device project's
#    image base and stack reserve;
#  - it imports only from COREDLL, WINSOCK and IPHLPAPI, and only names that
#    docs/device-api.txt lists, or docs/device-api-cegcc.txt for CeGCC's
#    start-up, each from its library there;
#  - its resources are the x86_64 build's: types, ids, languages and bytes;
#  - its StartUp shortcut's count is the length of its quoted command.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
export LC_ALL=C
cd "$BK_ROOT"
source scripts/cegcc.sh
exe=$BK_BUILD/brondelkit.exe lnk=$BK_BUILD/Brondelkit.lnk
x86_64=${BK_BUILD%/*}/x86_64/brondelkit.exe
work=$BK_BUILD/exe-check
rm -rf "$work"; mkdir -p "$work"
status=0
fail() { echo "FAIL: $*"; status=1; }
for f in "$exe" "$lnk" "$x86_64"; do [ -f "$f" ] || { echo "FAIL: missing $f"; exit 1; }; done

# --- the headers. at SIZE OFFSET: the little-endian number there, in hex.
at() { printf '0x%X' "$(od -An -tu"$1" -j "$2" -N "$1" --endian=little "$exe")"; }
expect() { [ "$2" = "$(printf '0x%X' "$3")" ] || fail "$1 is $2, not $(printf '0x%X' "$3")"; }
link=$(bk_arm_link_line)
pe=$(($(at 4 60))) opt=$((pe + 24))
expect "the PE signature" "$(at 4 $pe)" 0x4550
expect "the machine" "$(at 2 $((pe + 4)))" 0x1C0
expect "the optional header's magic" "$(at 2 $opt)" 0x10B
expect "the image base" "$(at 4 $((opt + 28)))" "$(bk_vcp_option base <<<"$link")"
expect "the subsystem's major version" "$(at 2 $((opt + 48)))" 4
expect "the subsystem's minor version" "$(at 2 $((opt + 50)))" 10
expect "the subsystem" "$(at 2 $((opt + 68)))" 9
expect "the stack reserve" "$(at 4 $((opt + 72)))" "$(bk_vcp_option stack <<<"$link" | cut -d, -f1)"

# --- the imports, each as "library name"
bk_cegcc objdump -p "$exe" | awk '/^\tDLL Name: / { lib = tolower($3); sub(/\.dll$/, "", lib) }
  lib && /^\t[0-9a-f]+\t/ { print lib, $NF }' | sort -u >"$work/imports"
grep -hv '^#' docs/device-api.txt docs/device-api-cegcc.txt |
  awk 'NF >= 2 { lib = $2; sub(/\.lib$/, "", lib); print lib, $1 }' | sort -u >"$work/listed"
[ -s "$work/imports" ] || fail "no imports read from $exe"
for lib in $(cut -d' ' -f1 "$work/imports" | sort -u | grep -vxE 'coredll|winsock|iphlpapi'); do
  fail "imports from $lib.dll"
done
while read -r lib name; do
  fail "imports $name from $lib.dll, which neither device API list has"
done < <(comm -23 "$work/imports" "$work/listed")
[ $status = 0 ] && echo "$(wc -l <"$work/imports") imports, each on a device API list"

# --- the resources, as each build's own windres writes them out as a script
# (its comments and blank lines aside): types, ids, languages and bytes.
script_of() { "${@:2}" -i "$1" -O rc | perl -0777 -pe 's{/\*.*?\*/}{}gs' | grep -v '^\s*$'; }
script_of "$x86_64" x86_64-w64-mingw32-windres >"$work/x86_64.rc"
script_of "$exe" bk_cegcc windres >"$work/arm.rc"
grep -q '^LANGUAGE' "$work/arm.rc" || fail "no resources read from $exe"
diff "$work/x86_64.rc" "$work/arm.rc" >"$work/resources.diff" ||
  fail "its resources are not the x86_64 build's: $(head -n 8 "$work/resources.diff")"

# --- the shortcut: the count, '#', the quoted command, and nothing after it
text=$(cat "$lnk") count=${text%%#*}
rest=$(($(wc -c <"$lnk") - ${#count} - 1))
[[ $text =~ ^[0-9]+#\"[^\"]+\\brondelkit\.exe\"$ ]] || fail "Brondelkit.lnk is not N#\"...\\brondelkit.exe\": $text"
[ "$count" = "$rest" ] || fail "Brondelkit.lnk counts $count characters where $rest follow the '#'"
exit $status

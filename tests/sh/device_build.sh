#!/bin/bash
# The device build, held to our model of the device's SDK (device-sdk/):
#  - every file the device's compiler or resource compiler reads is ASCII;
#  - no for-init variable is declared twice in one block (the device's
#    compiler keeps it alive to the end of the block);
#  - the device's project (device/brondelkit.vcp) holds exactly the device's
#    sources, and they compile in its Release and Debug configurations,
#    with their defines and include paths, against the model alone, read
#    as the device's compiler reads headers (C++98, warnings as errors);
#    the model rejects the desktop's forms and what that compiler refuses;
#  - the CE version macros, which the device's tools pass as the decimal CE
#    version (410), are only tested for being defined;
#  - what those objects import, the functions the model declares and
#    docs/device-api.txt are one and the same list.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
export LC_ALL=C
cd "$BK_ROOT"
work=$BK_BUILD/device_build
rm -rf "$work"; mkdir -p "$work"
status=0
fail() { echo "FAIL: $*"; status=1; }

# --- ASCII
mapfile -t read_by_device < <(find src device-sdk -type f; ls res/*.rc)
for f in "${read_by_device[@]}"; do
  if grep -nP '[\x80-\xFF]' "$f" >"$work/nonascii"; then
    fail "$f holds bytes above 0x7F: $(head -n 1 "$work/nonascii" | cut -c1-80)"
  fi
done

# --- for-init variables, per block. Prints FILE:LINE: NAME for each second
# declaration of a name in the same enclosing block.
for_scope() {
  perl -0777 -ne '
    s{/\*.*?\*/}{ my $t = $&; $t =~ s/[^\n]//g; $t }gse;
    s{//[^\n]*}{}g; s{"(?:\\.|[^"\\\n])*"}{""}g; s{'"'"'(?:\\.|[^'"'"'\\\n])*'"'"'}{0}g;
    my ($line, $next, @blocks, %seen) = (1, 0);
    push @blocks, $next++;
    while (/(\n)|(\{)|(\})|\bfor\s*\(\s*(?:const\s+)?[A-Za-z_][\w:]*[\s*&]+([A-Za-z_]\w*)\s*[=;]/g) {
      if (defined $1) { $line++ } elsif (defined $2) { push @blocks, $next++ }
      elsif (defined $3) { pop @blocks if @blocks > 1 }
      else {
        my $key = "$blocks[-1]:$4";
        print "$ARGV:$line: $4\n" if $seen{$key}++;
      }
    }' "$@"
}
mapfile -t sources < <(find src -name '*.cpp' -o -name '*.h' | sort)
twice=$(for_scope "${sources[@]}")
[ -z "$twice" ] || fail "for-init variable declared twice in one block: $twice"
printf '%s\n' 'void f() {' '  for (int i = 0; i < 2; i++) {}' '  for (int i = 0; i < 2; i++) {}' \
  '  { for (int j = 0; j < 2; j++) {} } for (int j = 0; j < 2; j++) {}' '}' >"$work/twice.cpp"
[ "$(for_scope "$work/twice.cpp")" = "$work/twice.cpp:3: i" ] ||
  fail "the for-init scan does not find a second i in one block (got: $(for_scope "$work/twice.cpp"))"

# --- the CE version macros: a value test would be read as 410, not 0x410
valued=$(grep -nE '\b(_WIN32_WCE|UNDER_CE)\b' "${sources[@]}" |
  grep -vE ':\s*#\s*(ifdef|ifndef|endif|else)\b|:\s*#\s*(el)?if\s+!?\s*defined\s*\(?\s*(_WIN32_WCE|UNDER_CE)\s*\)?\s*(//.*)?$|:\s*//' || true)
[ -z "$valued" ] || fail "a CE version macro used for more than whether it is defined: $valued"

# --- the device's project: its sources are every program source but the
# desktop stand-ins, and its compiler settings are the model compile's.
source "$BK_ROOT/scripts/vcp.sh"
mapfile -t device_sources < <(bk_vcp_files | grep '\.cpp$' | sort)
in_src=$(find src -name '*.cpp' ! -name '*_desktop.cpp' | sort)
for f in $(comm -23 <(echo "$in_src") <(printf '%s\n' "${device_sources[@]}")); do
  fail "$f is a device source missing from device/brondelkit.vcp"
done
for f in $(comm -13 <(echo "$in_src") <(printf '%s\n' "${device_sources[@]}")); do
  fail "device/brondelkit.vcp builds $f, which is no device source under src/"
done
# Both configurations of the project's first CPU: the Debug one passes
# DEBUG, which turns some calls into others in the device's headers.
mapfile -t configs < <(bk_vcp_configs | grep -m 1 ' Release$'; bk_vcp_configs | grep -m 1 ' Debug$')
[ ${#configs[@]} = 2 ] || fail "device/brondelkit.vcp lacks a Release or a Debug configuration"
flags_of() {
  local cpp_line; cpp_line=$(bk_vcp_line "$1" "# ADD CPP")
  bk_vcp_values /D <<<"$cpp_line" | sed 's/^/-D/'
  bk_vcp_values /I <<<"$cpp_line" | bk_vcp_path | sed 's/^/-I/'
}
# Each configuration's compiler switches, as one line (no value holds a space).
declare -A flags
for config in "${configs[@]}"; do
  flags[$config]=" $(flags_of "$config" | tr '\n' ' ')"
  [[ ${flags[$config]} == *" -D_WIN32_WCE=410 "* ]] || fail "$config does not pass _WIN32_WCE as the SDK's CE version"
done
[[ ${flags[${configs[1]}]} == *" -DDEBUG "* ]] || fail "${configs[1]} does not pass DEBUG"
[ $status = 0 ] || exit 1

# --- compile against the model, read as the device's compiler (Visual C++ 6
# line, _MSC_VER 1200) reads headers: Microsoft's dialect, no wchar_t of its
# own (the headers make it unsigned short), C++98 without long long. The
# model is the system's headers; our sources' warnings are errors.
#   device_cxx CONFIGURATION CLANG-ARGUMENTS...
nm=i686-w64-mingw32-nm
device_cxx() {
  local config=$1; shift
  # shellcheck disable=SC2086 # the configuration's switches, one word each
  clang --target=i686-pc-windows-msvc -fms-extensions -fms-compatibility \
    -fms-compatibility-version=12.00 -Xclang -fno-wchar -std=c++98 -pedantic-errors \
    -Wall -Wextra -Werror -nostdinc -isystem device-sdk/include ${flags[$config]} "$@"
}
declare -A objs
for config in "${configs[@]}"; do
  echo "$config:${flags[$config]}"
  dir=$work/obj/${config##* }; mkdir -p "$dir"
  for src in "${device_sources[@]}"; do
    obj=$dir/${src//\//_}.o
    # No builtins: the device's compiler calls the run-time's memset.
    if device_cxx "$config" -c -Os -fno-builtin -fno-exceptions -fno-rtti -fno-threadsafe-statics \
         "$src" -o "$obj" 2>"$work/errors"; then
      objs[$config]+=" $obj"
    else
      fail "$src does not compile against the device's SDK ($config):"; head -n 5 "$work/errors"
    fi
  done
done
[ $status = 0 ] || exit 1
echo "${#device_sources[@]} sources compile against the device's SDK in both configurations"

# Each form the device refuses must be refused, naming what is wrong: the
# lines are written into a copy of a device source, built as Release.
refuser="the model"
build_copy() { device_cxx "${configs[0]}" -fsyntax-only "$1"; }
source "$BK_ROOT/tests/support/reject.sh"
reject ansi-entry "conflicting types for 'WinMain'" src/shell/winmain.cpp \
  'extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);'
reject wide-record "unknown type name 'NOTIFYICONDATAW'" src/shell/trayicon.cpp \
  'int WideRecord() { NOTIFYICONDATAW nid; return sizeof nid; }'
reject wide-call "undeclared identifier 'Shell_NotifyIconW'" src/shell/trayicon.cpp \
  'BOOL WideCall(PNOTIFYICONDATA p) { return Shell_NotifyIconW(NIM_ADD, p); }'
reject size-t-alloc 'cannot initialize a variable' src/lock/probe.cpp \
  'HLOCAL (WINAPI* alloc)(UINT, SIZE_T) = LocalAlloc;'
reject desktop-only "undeclared identifier 'FlashWindowEx'" src/shell/instance.cpp \
  'BOOL Flash(HWND h) { return FlashWindowEx(h); }'
reject winsock2 "'winsock2.h' file not found" src/lock/probe.cpp '#include <winsock2.h>'
reject wchar-overload "redefinition of 'Unit'" src/common/text.cpp \
  'int Unit(WCHAR c) { return c; }' 'int Unit(unsigned short c) { return c; }'
reject long-long "'long long' is a C++11 extension" src/lock/lockdlg.cpp \
  'unsigned long long g_ms;'
reject wsaapi "expected ')'" src/lock/probe.cpp \
  'int (WSAAPI* g_getHostName)(char* name, int namelen);'
[ $status = 0 ] && echo "the model rejects the desktop's forms and what the device's compiler refuses"

# --- one list
names() { "$nm" "$@" | awk 'NF >= 2 { print $NF }' | sed -E 's/^__imp_//; s/^_//; s/@[0-9]+$//' | sort -u; }
imports_of() { comm -23 <(names -u $1) <(names --defined-only $1); }
imports=$(for config in "${configs[@]}"; do imports_of "${objs[$config]}"; done | sort -u)
listed=$(grep -v '^#' docs/device-api.txt | awk 'NF { print $1 }' | sort -u)
# Every function the model declares for linking, in either configuration
# (the program's own entry aside; an inline function is no import).
declared=$(for config in "${configs[@]}"; do
  printf '#include <%s>\n' $(cd device-sdk/include && ls *.h) | device_cxx "$config" -E -P -x c++ -
done | tr '\n' ' ' | grep -oE '\b__cdecl[ *]+[A-Za-z_][A-Za-z0-9_]*[ ]*\(' |
  sed -E 's/^__cdecl[ *]+//; s/[ (]+$//' | grep -vx WinMain | sort -u)
bad=$(grep -v '^#' docs/device-api.txt | awk 'NF == 1' || true)
[ -z "$bad" ] || fail "line without a device library in docs/device-api.txt: $bad"
for f in $(comm -23 <(echo "$imports") <(echo "$listed")); do fail "imports $f, which docs/device-api.txt lacks"; done
for f in $(comm -13 <(echo "$imports") <(echo "$listed")); do fail "docs/device-api.txt lists $f, which nothing imports"; done
for f in $(comm -13 <(echo "$imports") <(echo "$declared")); do fail "the model declares $f, which nothing imports"; done
[ $status = 0 ] && echo "$(echo "$imports" | wc -l) imports, each on the list and in the model, none more"
exit $status

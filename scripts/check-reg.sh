#!/bin/bash
# Checks a fleet's provisioning file against what the program will make of
# it: the file is imported by the platform's regedit (of the checked build's
# bitness, into the registry view that build reads) into a scratch prefix,
# in the device's locale, so that a REGEDIT4 file is read in code page 932
# as on a device, and the program's key is read back by the program's own
# settings store (regcheck.exe). Prints the record a device so provisioned
# will use and one line per finding.
#   check-reg.sh FILE.reg        BK_ARCH=i686 checks the device's 32-bit build
#   check-reg.sh --record OUT FILE.reg   also writes to OUT, for tools, the
#                                values as the program reads them back
#                                (regcheck.exe record), when the file is usable
# Exit status: 0 taken as written, 1 findings, 2 the file cannot be used
# (one line says why), 3 the check itself could not run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${BK_ARCH:-x86_64}
export BK_ROOT=${BK_ROOT:-$root}
export BK_BUILD=${BK_BUILD:-$root/${BK_BUILD_DIR:-build}/$arch}
arch=$(basename "$BK_BUILD")      # the build folder is named after it
record=
if [ "${1:-}" = --record ] && [ $# = 3 ]; then record=$2; shift 2; fi
if [ $# != 1 ]; then echo "usage: check-reg.sh [--record OUT] FILE.reg" >&2; exit 3; fi
file=$1
source "$root/scripts/machine.sh"
bk_arch_runs check-reg "$arch" || exit 3
source "$root/scripts/reg-file.sh"
source "$root/scripts/wine-env.sh"
if [ ! -f "$BK_BUILD/regcheck.exe" ]; then
  echo "check-reg: $BK_BUILD/regcheck.exe is missing; build first (scripts/build.sh)" >&2
  exit 3
fi

work=$(mktemp -d "$BK_BUILD/check-reg.XXXXXX")
cleanup() {
  if [ -d "$work/prefix" ]; then
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$work/prefix wineserver -w 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 3' INT TERM HUP

if ! reason=$(bk_reg_file "$file" "$work/file.reg"); then
  echo "check-reg: $file: $reason" >&2
  exit 2
fi

# The scratch prefix: a copy of a prepared one (BK_REG_TEMPLATE, else the
# project's). Wine only reads the system folders, so they are linked
# rather than copied (1 s, not 9).
template=${BK_REG_TEMPLATE:-$BK_BUILD/wineprefix}
if [ -z "${BK_REG_TEMPLATE:-}" ]; then
  WINEPREFIX=$template flock "$BK_BUILD/.wineprefix.lock" "$root/scripts/wine-prefix.sh" || exit 3
fi
copy() {
  local from=$1 to=$2 f
  mkdir "$to"
  for f in "$from"/* "$from"/.[!.]*; do
    [ -e "$f" ] || continue
    case ${f#$template/} in
      drive_c|drive_c/windows) copy "$f" "$to/${f##*/}" ;;
      drive_c/windows/system32|drive_c/windows/syswow64|drive_c/windows/winsxs) cp -al "$f" "$to/" ;;
      *) cp -a "$f" "$to/" ;;
    esac
  done
}
copy "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
wineserver -p </dev/null >/dev/null 2>&1   # holds none of our descriptors
regcheck() { wine "$BK_BUILD/regcheck.exe" "$@" </dev/null; }
win=$(bk_win_path "$work/file.reg")
regcheck import "$win" >/dev/null 2>"$work/import.log" || { cat "$work/import.log" >&2; exit 3; }
status=0
regcheck check "$win" >"$work/out" 2>&1 || status=$?
if [ -n "$record" ] && [ $status -le 1 ]; then
  regcheck record >"$record" 2>"$work/record.log" || { cat "$work/record.log" >&2; status=4; }
fi
case $status in
  0|1) echo "$file, as the $arch build reads HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVIK\\Brondelkit:"
       cat "$work/out" ;;
  2)   echo "check-reg: $file: $(head -n 1 "$work/out")" >&2 ;;
  *)   echo "check-reg: the check of $file did not run to its end (status $status)" >&2
       cat "$work/out" >&2; status=3 ;;
esac
exit $status

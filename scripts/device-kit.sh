#!/bin/bash
# Writes a copy of the device's CAB Wizard file (device/brondelkit.inf) that
# also carries a fleet's settings as AddReg lines for the program's key. The
# .reg file is first checked by scripts/check-reg.sh (one it refuses is
# refused here), which imports it as a device does and reads the key back
# with the program's own store; each value the key then holds becomes one
# line of the type and value the program reads, so that a device installed
# from the CAB starts with the record a device provisioned by the .reg file
# has.
#   device-kit.sh --reg FILE.reg [--keep-existing] [--out OUT.inf]
# --keep-existing  a device that already holds a value keeps it (NOCLOBBER);
#                  without it the CAB's values replace the device's.
# --out OUT.inf    default device/brondelkit-fleet.inf, beside the original,
#                  whose build folders are named from there.
# Texts beyond ASCII, characters an .inf line cannot carry as they stand, and
# numbers above 0x7FFFFFFF are refused: those values go to the devices by the
# .reg file.
# Exit status: 0 written, 2 refused (a line says why), 3 could not run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { echo "usage: device-kit.sh --reg FILE.reg [--keep-existing] [--out OUT.inf]" >&2; exit 3; }
reg= keep= out=$root/device/brondelkit-fleet.inf
while [ $# -gt 0 ]; do
  case $1 in
    --reg) [ $# -ge 2 ] || usage; reg=$2; shift 2 ;;
    --out) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    --keep-existing) keep=1; shift ;;
    *) usage ;;
  esac
done
[ -n "$reg" ] || usage
refuse() { echo "device-kit: $reg: $*" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
"$root/scripts/check-reg.sh" --record "$work/record" "$reg" || status=$?
case $status in
  0|1) ;;
  2) refuse "refused, as scripts/check-reg.sh refuses it" ;;
  *) echo "device-kit: the check of $reg did not run (status $status)" >&2; exit 3 ;;
esac

# AddReg flags: REG_SZ 0x00000000, REG_DWORD 0x00010001; NOCLOBBER 0x00000002.
clobber=0; [ -z "$keep" ] || clobber=2
key='SOFTWARE\TAVIK\Brondelkit'
section=Settings.Fleet
lines=()
while IFS=$'\t' read -r name type value; do
  case $type in
    dword)
      # The record holds the number the program reads, in decimal.
      if [ "$value" -gt 2147483647 ]; then
        refuse "$name $value ($(printf '0x%08X' "$value")) is above 0x7FFFFFFF (2147483647): a CAB fails" \
               "to install a registry number beyond the signed 32-bit range. Provision this value with the" \
               ".reg file instead (regedit on the device; scripts/check-reg.sh shows what a device reads)."
      fi
      lines+=("HKLM,$key,$name,$(printf '0x%08x' $((0x10001 | clobber))),$value") ;;
    sz)
      if LC_ALL=C grep -qP '[^\x00-\x7f]' <<<"$value"; then
        refuse "$name \"$value\" holds text beyond ASCII: no source settles how the CAB Wizard of" \
               "Windows CE 4.x reads such text in an .inf (the CE 5.0 pages ask for UTF-8), so the CAB" \
               "cannot be trusted to carry it. Provision this value with the .reg file instead" \
               "(regedit on the device; scripts/check-reg.sh shows what a device reads)."
      fi
      if LC_ALL=C grep -q '[^ -~]' <<<"$value" || [[ $value == *[\"%]* ]]; then
        refuse "$name holds a control character, \" or %, which an .inf line quotes or substitutes in" \
               "ways no source settles for the CE 4.x CAB Wizard; provision it with the .reg file instead"
      fi
      lines+=("HKLM,$key,$name,$(printf '0x%08x' $clobber),\"$value\"") ;;
    *) echo "device-kit: unreadable record line: $name" >&2; exit 3 ;;
  esac
done <"$work/record"
[ ${#lines[@]} -gt 0 ] || refuse "sets none of the program's values"

{
  echo "; A copy of brondelkit.inf written by scripts/device-kit.sh: it also installs"
  echo "; a fleet's settings ([$section])."
  tr -d '\r' <"$root/device/brondelkit.inf" |
    awk -v sect="$section" '{ print } /^\[DefaultInstall\]$/ { print "AddReg      = " sect }'
  echo
  echo "[$section]"
  printf '%s\n' "${lines[@]}"
} | sed 's/$/\r/' >"$work/out.inf"
mv "$work/out.inf" "$out"
echo "wrote $out: ${#lines[@]} values, $([ -n "$keep" ] && echo "a device's own values kept" || echo "replacing a device's own values")"

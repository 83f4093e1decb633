#!/bin/bash
# The device engineer's kit (device/): the workspace, project, CAB Wizard file
# and batch build agree with each other and with the device's tools (CRLF,
# ASCII, every configuration with its CPU's switches, the SDK's macros and
# the program's libraries); device-kit.sh --reg writes the values a device
# provisioned by the .reg file reads, and refuses what it cannot carry.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
cd "$BK_ROOT/device"
source "$BK_ROOT/scripts/vcp.sh"
status=0
fail() { echo "FAIL: $*"; status=1; }
has() { grep -qF -- "$2" <<<"$1" || fail "$3 lacks $2"; }

for f in brondelkit.vcw brondelkit.vcp brondelkit.inf build.bat; do
  ! LC_ALL=C grep -q '[^[:print:][:space:]]' "$f" || fail "$f is not ASCII"
  [ "$(grep -c $'\r$' "$f")" = "$(wc -l <"$f")" ] || fail "$f has lines without CRLF"
done
grep -qxF $'Project: "brondelkit"=.\\brondelkit.vcp - Package Owner=<4>\r' brondelkit.vcw ||
  fail "the workspace does not name brondelkit.vcp"

# What each CPU's configurations pass: defines and switches, then the link's machine.
declare -A cpu_cpp=([ARMV4I]='/D "ARMV4I" /QRarch4T /QRinterwork-return' [ARMV4]='/D "ARMV4"'
                    [MIPSII]='/D "MIPSII" /QMmips2 /QMFPE')
declare -A cpu_link=([ARMV4I]=/MACHINE:THUMB [ARMV4]=/MACHINE:ARM [MIPSII]=/MACHINE:MIPS)
mapfile -t configs < <(bk_vcp_configs)
cpus=$(printf '%s\n' "${configs[@]}" | sed -E 's/.*\(WCE (.*)\).*/\1/' | sort -u)
[ "$cpus" = "$(printf '%s\n' "${!cpu_cpp[@]}" | sort)" ] || fail "the project's CPUs: $(echo $cpus)"
for cfg in "${configs[@]}"; do
  cpu=$(sed -E 's/.*\(WCE (.*)\).*/\1/' <<<"$cfg")
  grep -q "^# TARGTYPE \"Win32 (WCE $cpu) Application\"" brondelkit.vcp || fail "no TARGTYPE for $cpu"
  cpp=$(bk_vcp_line "$cfg" "# ADD CPP") rsc=$(bk_vcp_line "$cfg" "# ADD RSC")
  link=$(bk_vcp_line "$cfg" "# ADD LINK32")
  for want in '/D _WIN32_WCE=$(CEVersion)' '/D UNDER_CE=$(CEVersion)' '/D "$(CePlatform)"' \
              '/D "UNICODE"' '/D "_UNICODE"' '/I "..\src"' '/M$(CECrtMT' ${cpu_cpp[$cpu]}; do
    has "$cpp" "$want" "$cfg CPP"
  done
  for want in '/l 0x411' '/i "..\src"' '/i "..\res"' '/d _WIN32_WCE=$(CEVersion)' '/d UNDER_CE=$(CEVersion)'; do
    has "$rsc" "$want" "$cfg RSC"
  done
  for want in '/entry:"WinMainCRTStartup"' '/subsystem:$(CESubsystem)' ${cpu_link[$cpu]}; do
    has "$link" "$want" "$cfg LINK32"
  done
  libs=$(grep -oE '[^ ]+\.lib\b' <<<"$link" | sort | tr '\n' ' ')
  [ "$libs" = "coredll.lib iphlpapi.lib winsock.lib " ] || fail "$cfg links $libs"
done
# The project's other files: the headers, the resource script with its parts, pictures, icon.
others=$(cd .. && find src -name '*.h'; ls res/*.rc res/*.bmp res/*.ico)
[ "$(bk_vcp_files | grep -v '\.cpp$' | sort)" = "$(sort <<<"$others")" ] ||
  fail "the project's headers and resources are not src/*.h and res/: $(diff <(bk_vcp_files | grep -v '\.cpp$' | sort) <(sort <<<"$others") | grep '^[<>]' | tr '\n' ' ')"

# The CAB Wizard file: one label per project CPU, its folder that CPU's
# Release output, 4.10 and no processor type (devices of one CPU report
# several, so any one value refuses some); the shortcut in %CE4%.
inf=$(tr -d '\r' <brondelkit.inf)
for kind in CEDevice SourceDisksNames; do
  [ "$(sed -nE "s/^\[$kind\.(.*)\]$/\1/p" <<<"$inf" | sort)" = "$cpus" ] || fail "[$kind.*] labels are not the project's CPUs"
done
section() { awk -v s="[$1]" '$0 == s { on = 1; next } /^\[/ { on = 0 } on'; }
for cpu in $cpus; do
  dir=$(bk_vcp_line "brondelkit - Win32 (WCE $cpu) Release" "# PROP Output_Dir" | tr -d '"')
  section "SourceDisksNames.$cpu" <<<"$inf" | grep -qE "^1 = ,\"[^\"]*\",,$dir$" || fail "[SourceDisksNames.$cpu] is not $dir"
  ! section "CEDevice.$cpu" <<<"$inf" | grep -qi '^ProcessorType' || fail "[CEDevice.$cpu] has a processor type"
  section "CEDevice.$cpu" <<<"$inf" | grep -qx 'VersionMin    = 4.10' || fail "[CEDevice.$cpu] does not ask for 4.10"
done
links=$(section DefaultInstall <<<"$inf" | sed -n 's/^CEShortcuts *= *//p')
section DestinationDirs <<<"$inf" | grep -qx "$links *= 0,%CE4%" || fail "the shortcuts do not go to %CE4%"
section "$links" <<<"$inf" | grep -q ',0,brondelkit.exe,%CE4%$' || fail "no shortcut to brondelkit.exe"
! grep -qi '^AddReg' <<<"$inf" || fail "the package carries settings"

# The batch build: each CPU it takes is a Release configuration and a CAB
# label; each tool is called by the full path it found, and a read-only old
# file is deleted (cabwiz.exe called by name, or del without /f, fail).
bat=$(tr -d '\r' <build.bat)
grep -qxF '"%EVC%" brondelkit.vcp /MAKE "brondelkit - Win32 (WCE %CPU%) Release" /REBUILD /CECONFIG="%SDK%"' <<<"$bat" &&
  grep -qxF '"%CABWIZ%" brondelkit.inf /err cabwiz.log /cpu %CPU%' <<<"$bat" || fail "build.bat's evc or cabwiz line"
commands=$(grep -viE '^ *(@?echo|rem)( |$)' <<<"$bat")
! grep -iE '(^|[ @(&|])(evc|cabwiz)(\.exe)? +"?[^ ]*\.(vc[pw]|inf)' <<<"$commands" || fail "build.bat calls a tool by its bare name"
! grep -iE '(^|[ @(&|])del( |$)' <<<"$commands" | grep -viE 'del( +/[a-z])* +/f' || fail "build.bat deletes without /f"
for cpu in $(sed -nE 's/.* set CPU=([A-Z0-9]+)$/\1/p' <<<"$bat"); do
  printf '%s\n' "${configs[@]}" | grep -qx "brondelkit - Win32 (WCE $cpu) Release" || fail "build.bat builds $cpu, not in the project"
  grep -qx "\[CEDevice.$cpu\]" <<<"$inf" || fail "build.bat's $cpu is no CAB label"
done
[ $status = 0 ] && echo "workspace, project, CAB Wizard file and build.bat agree"

# --- device-kit.sh --reg
work=$BK_BUILD/device-kit-test
rm -rf "$work"; mkdir -p "$work"
kit() { kit_status=0; out=$("$BK_ROOT/scripts/device-kit.sh" --out "$work/fleet.inf" "$@" 2>&1) || kit_status=$?; }
key='[HKEY_LOCAL_MACHINE\SOFTWARE\TAVIK\Brondelkit]'
printf 'REGEDIT4\r\n\r\n%s\r\n"Pass"="kase"\r\n"PassEnable"=dword:1\r\n"nTimeout"="30"\r\n' "$key" >"$work/fleet.reg"
printf '"AppPass"="\\\\Program Files\\\\gyomu.exe"\r\n"AppEnable"=dword:00000001\r\n' >>"$work/fleet.reg"
kit --reg "$work/fleet.reg"
[ $kit_status = 0 ] || fail "device-kit on a usable file: status $kit_status: $out"
copy=$(tr -d '\r' <"$work/fleet.inf")
mapfile -t added < <(grep '^HKLM,' <<<"$copy")
[ ${#added[@]} = 5 ] || fail "not 5 AddReg lines: ${added[*]}"
# Each line as check-reg's record prints what the program read (the text
# "30" stored for nTimeout is the number 3145779 to it).
for line in "${added[@]}"; do
  IFS=, read -r _ _ name flags data <<<"$line"
  case $name:$flags in
    Pass:0x00000000|AppPass:0x00000000|*Enable:0x00010001|nTimeout:0x00010001) ;;
    *) fail "not the type the program reads: $line" ;;
  esac
  grep -qxF "  $(printf '%-12s' "$name")$data" <<<"$out" || fail "$line is not what the program reads"
done
section DefaultInstall <<<"$copy" | grep -qx 'AddReg *= Settings.Fleet' || fail "no AddReg in [DefaultInstall]"
! diff <(tr -d '\r' <brondelkit.inf) <(echo "$copy") | grep -q '^<' || fail "the copy drops lines of brondelkit.inf"

kit --reg "$work/fleet.reg" --keep-existing
[ "$(tr -d '\r' <"$work/fleet.inf" | grep '^HKLM,' | cut -d, -f4 | sort -u | tr '\n' ' ')" = "0x00000002 0x00010003 " ] ||
  fail "--keep-existing does not make every line NOCLOBBER"

rm -f "$work/fleet.inf"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVIK\\Other]\r\n"Pass"="1"\r\n' >"$work/other.reg"
kit --reg "$work/other.reg"
[ $kit_status = 2 ] && grep -q 'refused, as scripts/check-reg.sh refuses it' <<<"$out" || fail "a file check-reg refuses: $kit_status $out"
printf 'REGEDIT4\r\n\r\n%s\r\n"AppPass"="\\\\Program Files\\\\業務端末\\\\gyomu.exe"\r\n"AppEnable"=dword:1\r\n' "$key" |
  iconv -f UTF-8 -t CP932 >"$work/sjis.reg"
kit --reg "$work/sjis.reg"
[ $kit_status = 2 ] && grep -q 'AppPass .*業務端末.* beyond ASCII.*with the .reg file instead' <<<"$out" ||
  fail "a text beyond ASCII: $kit_status $out"
printf 'REGEDIT4\r\n\r\n%s\r\n"AppEnable"=dword:80000000\r\n' "$key" >"$work/big.reg"
kit --reg "$work/big.reg"
[ $kit_status = 2 ] && grep -q 'AppEnable 2147483648 .*above 0x7FFFFFFF.*with the .reg file instead' <<<"$out" ||
  fail "a DWORD above 0x7FFFFFFF: $kit_status $out"
[ ! -e "$work/fleet.inf" ] || fail "a refused file still wrote an .inf"
[ $status = 0 ] && echo PASS
exit $status

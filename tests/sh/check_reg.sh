#!/bin/bash
# The provisioning check: the example export (UTF-16LE) taken as written; a
# REGEDIT4 file whose number is written as a text; a Japanese path taken
# from Shift_JIS and flagged in UTF-8, which a device reads in code page
# 932; a file with nothing for the program's key, refused on one line. No
# scratch prefix and none of its processes remain.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
check() {
  status=0
  out=$("$BK_ROOT/scripts/check-reg.sh" "$1" 2>&1) || status=$?
  printf '%s\n' "$out"
}
has() { grep -qxF -- "$1" <<<"$out" || fail "no line: $1"; }
dir=$BK_BUILD/check-reg-test
rm -rf "$dir"; mkdir -p "$dir"

check "$BK_ROOT/docs/brondelkit.reg"
[ $status = 0 ] || fail "the example: status $status"
has '  Pass        "4821"'
has '  nTimeout    30'

key='[HKEY_LOCAL_MACHINE\SOFTWARE\TAVIK\Brondelkit]'
printf 'REGEDIT4\r\n\r\n%s\r\n"Pass"="kase"\r\n"PassEnable"=dword:1\r\n"nTimeout"="30"\r\n' "$key" >"$dir/type.reg"
printf '"AppPass"="\\\\windows\\\\iesample.exe"\r\n"AppEnable"=dword:00000001\r\n' >>"$dir/type.reg"
check "$dir/type.reg"
[ $status = 1 ] || fail "a text for a number: status $status"
has '  nTimeout    3145779'
grep -q '^finding: nTimeout: REG_SZ "30" where the program expects REG_DWORD.* 3145779$' <<<"$out" \
  || fail "no wrong-type finding"
[ "$(grep -c '^finding: ' <<<"$out")" = 2 ] || fail "not two findings (type, range)"

path='\Program Files\業務端末\gyomu.exe'
printf 'REGEDIT4\r\n\r\n%s\r\n"AppPass"="%s"\r\n"AppEnable"=dword:1\r\n' "$key" "${path//\\/\\\\}" >"$dir/utf8.reg"
iconv -f UTF-8 -t CP932 "$dir/utf8.reg" >"$dir/sjis.reg"
check "$dir/sjis.reg"
[ $status = 0 ] || fail "Shift_JIS: status $status"
has "  AppPass     \"$path\""
check "$dir/utf8.reg"
[ $status = 1 ] || fail "UTF-8: status $status"
read_as=$(iconv -f CP932 -t UTF-8 <<<"$path")   # its UTF-8 bytes, as a device reads them
finding='finding: AppPass: the file is UTF-8, but a device reads a REGEDIT4 file in code page 932'
grep -qF "$finding (Shift_JIS): it reads REG_SZ \"$read_as\"" <<<"$out" \
  || fail "no finding on the UTF-8 path"

printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVIK\\Other]\n"Pass"="1"\n' >"$dir/other.reg"
check "$dir/other.reg"
[ $status = 2 ] && [ "$(wc -l <<<"$out")" = 1 ] || fail "not refused on one line"
grep -q 'nothing for HKEY_LOCAL_MACHINE\\SOFTWARE\\TAVIK\\Brondelkit' <<<"$out" || fail "no reason"

[ -z "$(ls -d "$BK_BUILD"/check-reg.* 2>/dev/null)" ] || fail "a scratch folder remains"
left=$(grep -lsz "^WINEPREFIX=$BK_BUILD/check-reg\." /proc/[0-9]*/environ || true)
[ -z "$left" ] || fail "still running: $left"
echo PASS

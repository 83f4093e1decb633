# Sourced: a provisioning file made ready for the platform's regedit.

# bk_reg_file IN OUT: IN copied to OUT when regedit can take it: a regedit 5
# export in UTF-16LE with its byte-order mark, or REGEDIT4, which regedit
# reads in the ANSI code page: 932 (Shift_JIS) on a device, and in Wine in
# the device's locale. How its texts read is regcheck.exe's to tell. When
# IN is no such file, prints why and fails.
bk_reg_file() {
  local in=$1 out=$2 text=$2.text first
  if [ ! -e "$in" ]; then echo "no such file"; return 1; fi
  if [ ! -f "$in" ] || [ ! -r "$in" ]; then echo "cannot be read"; return 1; fi
  case $(head -c 3 "$in" | od -An -tx1 | tr -d ' \n') in
    fffe*)
      tail -c +3 "$in" | iconv -f UTF-16LE -t UTF-8 >"$text" 2>/dev/null \
        || { echo "not UTF-16LE text after its byte-order mark"; return 1; } ;;
    efbbbf)
      echo "UTF-8 with a byte-order mark: a device reads a REGEDIT4 file in code page 932" \
           "(Shift_JIS), where the mark is text before REGEDIT4, and imports nothing"
      return 1 ;;
    *) cp "$in" "$text" ;;
  esac
  # NUL bytes outside UTF-16 (one without its mark, say) are no text.
  if [ "$(tr -d '\0' <"$text" | wc -c)" != "$(wc -c <"$text")" ]; then
    first=
  else
    first=$(head -n 1 "$text" | tr -d '\r')   # as strict as regedit
  fi
  rm -f "$text"
  case $first in
    REGEDIT4|"Windows Registry Editor Version 5.00") ;;
    *) echo "not a registry file: its first line is neither REGEDIT4 nor Windows Registry Editor Version 5.00"
       return 1 ;;
  esac
  cp "$in" "$out"
}

# bk_win_path PATH: the Windows name of a Linux path (Wine's drive Z:).
bk_win_path() {
  local p; p=$(realpath -m "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

# Sourced: a provisioning file made ready for the platform's regedit.

# bk_reg_utf16 IN OUT: IN as regedit takes it (a regedit 5 export in
# UTF-16LE with its byte-order mark, or REGEDIT4 in ASCII or UTF-8) written
# to OUT as UTF-16LE with the mark, the only form Wine's regedit does not
# read as ANSI. When IN is no such file, prints why and fails.
bk_reg_utf16() {
  local in=$1 out=$2 utf8=$2.utf8 first
  if [ ! -e "$in" ]; then echo "no such file"; return 1; fi
  if [ ! -f "$in" ] || [ ! -r "$in" ]; then echo "cannot be read"; return 1; fi
  if [ "$(head -c 2 "$in" | od -An -tx1 | tr -d ' \n')" = fffe ]; then
    tail -c +3 "$in" | iconv -f UTF-16LE -t UTF-8 >"$utf8" 2>/dev/null \
      || { echo "not UTF-16LE text after its byte-order mark"; return 1; }
    cp "$in" "$out"
  else
    # A UTF-8 byte-order mark goes: the converted file has its own.
    sed '1s/^\xEF\xBB\xBF//' "$in" | iconv -f UTF-8 -t UTF-8 >"$utf8" 2>/dev/null \
      || { echo "neither UTF-16LE with a byte-order mark nor ASCII or UTF-8 text"; return 1; }
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$utf8"; } >"$out"
  fi
  # NUL bytes outside UTF-16 (one without its mark, say) are no text.
  if [ "$(tr -d '\0' <"$utf8" | wc -c)" != "$(wc -c <"$utf8")" ]; then
    first=
  else
    first=$(head -n 1 "$utf8" | tr -d '\r')   # as strict as regedit
  fi
  rm -f "$utf8"
  case $first in
    REGEDIT4|"Windows Registry Editor Version 5.00") ;;
    *) echo "not a registry file: its first line is neither REGEDIT4 nor Windows Registry Editor Version 5.00"
       return 1 ;;
  esac
}

# bk_win_path PATH: the Windows name of a Linux path (Wine's drive Z:).
bk_win_path() {
  local p; p=$(realpath -m "$1")
  printf 'Z:%s\n' "${p//\//\\}"
}

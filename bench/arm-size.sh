#!/bin/bash
# The device's ARM executable (scripts/build-arm.sh) beside the x86_64 one,
# both as built (stripped, resources in): file size, .text size and the
# number of imported names. Builds nothing; one line for the bench's
# results, saying why when there is no ARM build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=$root/${BK_BUILD_DIR:-build}
source "$root/scripts/cegcc.sh"

# figures OBJDUMP EXE: "SIZE bytes (.text TEXT bytes, IMPORTS imports)".
figures() {
  local text imports
  text=$("$1" -h "$2" | awk '$2 == ".text" { print $3 }')
  imports=$("$1" -p "$2" | awk '/^\tDLL Name: / { in_dll = 1 } in_dll && /^\t[0-9a-f]+\t/' | wc -l)
  echo "$(stat -c %s "$2") bytes (.text $((16#$text)) bytes, $imports imports)"
}
x86_64=$(figures x86_64-w64-mingw32-objdump "$build_root/x86_64/brondelkit.exe")
if ! why=$(bk_cegcc_reason); then
  echo "- exe size, arm: not measured: $why (x86_64: $x86_64)"
elif [ ! -f "$build_root/arm/brondelkit.exe" ]; then
  echo "- exe size, arm: not measured: no $build_root/arm/brondelkit.exe (x86_64: $x86_64)"
else
  echo "- exe size, arm: $(figures "$BK_CEGCC/bin/arm-mingw32ce-objdump" "$build_root/arm/brondelkit.exe"); x86_64: $x86_64"
fi

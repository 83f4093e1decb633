# The program imports system DLLs only: no C++ runtime, no libgcc, no
# winpthread DLLs beside the exe.
set -euo pipefail
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|msvcrt|WS2_32|IPHLPAPI|SHELL32)\.dll$'
arch=$(basename "$BK_BUILD")     # the build folder is named after it
exe=$BK_BUILD/brondelkit.exe
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
dlls=$($arch-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "$arch: no import list read"; exit 1; }
bad=$(printf '%s\n' "$dlls" | grep -viE "$allowed" || true)
if [ -n "$bad" ]; then
  echo "$arch imports non-system DLLs: $bad"; exit 1
fi
echo "$arch: $(printf '%s ' $dlls)"

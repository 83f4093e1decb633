#!/bin/bash
# The road of a machine that runs no 32-bit programs, kept right on one that
# does. In a mount namespace of its own, the 32-bit loader and the machine
# probe's program fail as they fail there ("Exec format error", status 126).
# Through the project's own scripts: the i686 session is refused before
# anything starts, a fresh prefix is made for the x86_64 build, whose
# program shows its first screen, and the test command reports the i686
# suite as not run.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
if [ "${1:-}" != --inside ]; then
  exec unshare --mount --propagation private --fork -- bash "$0" --inside
fi
# The x86_64 build whichever suite this is: the one such a machine runs.
export BK_BUILD=${BK_BUILD%/*}/x86_64
work=$BK_BUILD/no_32bit
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
export BK_BUILD_DIR=$(basename "$(dirname "$BK_BUILD")")
source "$BK_ROOT/scripts/machine.sh"
bk_runs_32bit || true      # the probe's program written, if it was not

printf '%s\n' '#!/bin/sh' 'echo "$0: cannot execute binary file: Exec format error" >&2' 'exit 126' \
  >"$work/enoexec"
chmod +x "$work/enoexec"
for f in "$BK_I386_PROBE" /usr/lib/wine/wine; do
  [ ! -e "$f" ] || mount --bind "$work/enoexec" "$f"
done
! bk_runs_32bit || fail "the probe still finds 32-bit programs running"

# Refused at once, saying why.
status=0
BK_ARCH=i686 "$BK_ROOT/scripts/run.sh" >"$work/run.out" 2>&1 </dev/null || status=$?
[ $status != 0 ] || fail "BK_ARCH=i686 run.sh was not refused"
grep -q "i686: this machine runs no 32-bit programs" "$work/run.out" ||
  fail "run.sh refused i686 without the reason: $(head -n 3 "$work/run.out")"

# A fresh prefix, the program's first screen.
export WINEPREFIX=$work/prefix
source "$BK_ROOT/scripts/wine-env.sh"
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT
"$BK_ROOT/scripts/wine-prefix.sh" || fail "no prefix made"
wineserver -p </dev/null >/dev/null 2>&1
wine "$BK_BUILD/brondelkit.exe" </dev/null >/dev/null 2>&1 &
wine "$BK_BUILD/screenctl.exe" wait settings-locked 30000 </dev/null >/dev/null ||
  fail "the program did not show its first-run settings dialog"

# The test command's verdict for i686 (the ARM checks left out: no CeGCC).
BK_ARCHS=i686 BK_CEGCC=/nonexistent "$BK_ROOT/scripts/test.sh" >"$work/test.out" 2>&1 </dev/null ||
  fail "the test command failed: $(tail -n 3 "$work/test.out")"
grep -qxF "i686: not run: this machine runs no 32-bit programs" "$work/test.out" ||
  fail "the test command's verdict for i686: $(tail -n 2 "$work/test.out" | tr '\n' ' ')"
! grep -q '=== i686' "$work/test.out" || fail "the i686 suite was started"
echo "no 32-bit programs: i686 refused and reported as not run; x86_64 shows its first screen"

#!/bin/bash
# A mirror that misbehaves, on a machine that runs 32-bit programs: with
# stand-ins for apt-get, dpkg and dpkg-query first on PATH (the machine's
# package state is only read), the package update fails twice on one
# index and Wine's 32-bit side is refused as apt refuses it while its
# libraries lag behind. The install step still succeeds, the test command's
# i686 verdict and the refused i686 session both give apt's reason.
set -euo pipefail
: "${BK_ROOT:?}" "${BK_BUILD:?}"
if [ "${1:-}" != --inside ]; then
  exec unshare --mount --propagation private --fork -- bash "$0" --inside
fi
work=${BK_BUILD%/*}/x86_64/deps_mirror
rm -rf "$work"; mkdir -p "$work/bin"
fail() { echo "FAIL: $*" >&2; exit 1; }
export BK_BUILD_DIR=$(basename "$(dirname "$BK_BUILD")") BK_WINE32_WHY=$work/wine32-why
source "$BK_ROOT/scripts/machine.sh"
# The kernel's answer is yes whatever this machine is.
bk_runs_32bit || true
printf '#!/bin/sh\nexit 0\n' >"$work/exit0"; chmod +x "$work/exit0"
mount --bind "$work/exit0" "$BK_I386_PROBE"

index=http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
breaks="Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
cat >"$work/bin/stand-in" <<STANDIN
#!/bin/bash
echo "\$(basename "\$0") \$*" >>"$work/calls"
case \$(basename "\$0") in
  dpkg) [ "\$1" = --add-architecture ] && exit 0; exec /usr/bin/dpkg "\$@" ;;
  dpkg-query) [[ " \$* " = *" wine32:i386 "* ]] && exit 1; exec /usr/bin/dpkg-query "\$@" ;;
esac
case \$1 in
  update)
    if [ \$(grep -c '^apt-get update' "$work/calls") -le 2 ]; then
      echo "E: Failed to fetch $index  File has unexpected size (51200 != 51712). Mirror sync in progress? [IP: 192.0.2.1 80]"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    [[ " \$* " = *" wine32:i386 "* ]] || { echo "stand-in: not to be installed here: \$*"; exit 1; }
    echo " libc6:i386 : Breaks: libc6 (!= 2.36-9+deb12u9) but 2.36-9+deb12u10 is to be installed"
    echo "E: $breaks"
    exit 100 ;;
esac
STANDIN
chmod +x "$work/bin/stand-in"
for n in apt-get dpkg dpkg-query; do ln -s stand-in "$work/bin/$n"; done
export PATH=$work/bin:$PATH

"$BK_ROOT/scripts/deps.sh" >"$work/deps.out" 2>&1 </dev/null ||
  fail "the install step failed: $(tail -n 3 "$work/deps.out")"
grep -qxF "deps: package index not updated: $index (File has unexpected size (51200 != 51712). Mirror sync in progress? [IP: 192.0.2.1 80]); going on with the lists apt has" \
  "$work/deps.out" || fail "the failing index was not named: $(grep deps: "$work/deps.out")"
[ "$(grep -c '^apt-get update' "$work/calls")" = 2 ] || fail "the update was not tried exactly twice"
reason="Wine's 32-bit side could not be installed: $breaks"
grep -qxF "deps: Wine's 32-bit side could not be installed (the i686 suite will not run): $breaks" "$work/deps.out" || fail "no reason for the 32-bit side: $(tail -n 2 "$work/deps.out")"

BK_ARCHS=i686 BK_CEGCC=/nonexistent "$BK_ROOT/scripts/test.sh" >"$work/test.out" 2>&1 </dev/null ||
  fail "the test command failed: $(tail -n 3 "$work/test.out")"
grep -qxF "i686: not run: $reason" "$work/test.out" ||
  fail "the test command's verdict for i686: $(tail -n 2 "$work/test.out" | tr '\n' ' ')"
! grep -q '=== i686' "$work/test.out" || fail "the i686 suite was started"
[ "$(grep -c '^apt-get install.*wine32:i386' "$work/calls")" = 2 ] ||
  fail "the test command did not try the 32-bit side again"

status=0
BK_ARCH=i686 "$BK_ROOT/scripts/run.sh" >"$work/run.out" 2>&1 </dev/null || status=$?
[ $status = 2 ] || fail "BK_ARCH=i686 run.sh was not refused (status $status)"
[ "$(tail -n 1 "$work/run.out")" = "run: i686: $reason" ] ||
  fail "run.sh refused i686 without the reason: $(tail -n 1 "$work/run.out")"
echo "a failing index and a refused 32-bit side: installed, i686 reported and refused with apt's reason"

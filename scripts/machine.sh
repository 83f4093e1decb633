# Sourced: what this machine can run, asked of the kernel itself.

# bk_runs_32bit: true when the kernel runs 32-bit Linux programs. Some of
# our machines refuse every i386 executable ("Exec format error"), and
# Wine's 32-bit side, which runs the i686 build, can never work there. The
# question is put with a 91-byte static i386 program that only exits 0, so
# it needs no 32-bit package and can be asked before anything is installed.
BK_NO_32BIT_REASON="this machine runs no 32-bit programs"
BK_I386_PROBE=${BK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}/${BK_BUILD_DIR:-build}/i386-exit0
bk_runs_32bit() {
  local probe=$BK_I386_PROBE dir=${BK_I386_PROBE%/*}
  # Written once, whole: a test puts its own stand-in over this path.
  if [ ! -e "$probe" ]; then
    mkdir -p "$dir"
    # ELF header, one loadable segment at 0x08048000, then the code at its
    # entry 0x08048054: xor ebx,ebx; xor eax,eax; inc eax; int 0x80.
    printf '%b' \
      '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
      '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
      '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
      '\x00\x00\x00\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
      '\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
      '\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe.$$"
    chmod +x "$probe.$$"
    mv "$probe.$$" "$probe"
  fi
  "$probe" >/dev/null 2>&1
}

# Wine's 32-bit side may still be missing where the kernel runs 32-bit
# programs: its packages can lag behind the rest while a mirror syncs.
# scripts/deps.sh tries it at every run and leaves apt's reason here when it
# fails, for the verdicts below; the reason is never taken as "cannot".
BK_WINE32_WHY=${BK_WINE32_WHY:-${BK_I386_PROBE%/*}/wine32-not-installed}
bk_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
bk_wine32_installed() { bk_installed wine32:i386; }

# bk_i686_reason: prints why the i686 build cannot run here; nothing (and
# success) when it can.
bk_i686_reason() {
  if ! bk_runs_32bit; then echo "$BK_NO_32BIT_REASON"; return 1; fi
  bk_wine32_installed && return 0
  local why="not installed (scripts/deps.sh installs it)"
  [ ! -s "$BK_WINE32_WHY" ] || why=$(head -n 1 "$BK_WINE32_WHY")
  echo "Wine's 32-bit side could not be installed: $why"
  return 1
}

# bk_arch_runs NAME ARCH: true when ARCH's build can run here; otherwise
# says why in one line, as NAME, and fails.
bk_arch_runs() {
  local why
  [ "$2" != i686 ] && return 0
  why=$(bk_i686_reason) && return 0
  echo "$1: i686: $why" >&2
  return 1
}

# Sourced: the device's own ARM executable, built on Linux with CeGCC
# (arm-mingw32ce, gcc 4.4 with CE's C run-time and import libraries). The
# project never installs it; docs/device.md says how it is built. From the device project (device/brondelkit.vcp, its
# ARMV4I Release configuration) it takes the sources, the libraries, the
# base and the stack, so that both device builds build the same program.
BK_CEGCC=${BK_CEGCC:-/opt/cegcc}
source "$(dirname "${BASH_SOURCE[0]}")/vcp.sh"
BK_ARM_CONFIG="brondelkit - Win32 (WCE ARMV4I) Release"

# bk_cegcc_reason: prints why the ARM build cannot be made here; nothing
# (and success) when it can.
bk_cegcc_reason() {
  [ -x "$BK_CEGCC/bin/arm-mingw32ce-g++" ] && return 0
  echo "no CeGCC toolchain at $BK_CEGCC (BK_CEGCC)"
  return 1
}

# bk_cegcc TOOL ARGUMENTS...: one of its tools (g++, windres, objdump).
bk_cegcc() { local tool=$1; shift; "$BK_CEGCC/bin/arm-mingw32ce-$tool" "$@"; }

# bk_arm_sources: the device project's sources, from the repository's top.
bk_arm_sources() { bk_vcp_files | grep '\.cpp$'; }

# bk_arm_link_line: the project's link switches for the device's CPU.
bk_arm_link_line() { bk_vcp_line "$BK_ARM_CONFIG" "# ADD LINK32"; }

# bk_arm_exe EXE SOURCE...: compiles the sources and the resources, run from
# the repository's top, and links the device's executable.
# CeGCC's headers compare _WIN32_WCE with hexadecimal versions (eVC4 passes
# the decimal 410 and our sources only ask whether it is defined); strict
# C++98 drops the compiler's own UNDER_CE and UNICODE.
bk_arm_exe() {
  local exe=$1 obj=${1%.exe}.obj src link lib libs=(); shift
  rm -rf "$obj" "$exe"; mkdir -p "$obj"
  for src in "$@"; do
    bk_cegcc g++ -std=c++98 -Os -Wall -Wextra -Werror \
      -fno-exceptions -fno-rtti -fno-threadsafe-statics \
      -D_WIN32_WCE=0x410 -DUNDER_CE=0x410 -DUNICODE -D_UNICODE -I "$PWD/src" \
      -c "$src" -o "$obj/$(basename "$src" .cpp).o" || return 1
  done
  bk_cegcc windres -O coff --include-dir="$PWD/src" --include-dir="$PWD/res" \
    -i res/brondelkit.rc -o "$obj/resources.o" || return 1
  link=$(bk_arm_link_line)
  for lib in $(grep -oE '[A-Za-z0-9_]+\.lib' <<<"$link"); do libs+=("-l${lib%.lib}"); done
  # Subsystem Windows CE, version 4.10 (the linker's own default is 3.0).
  bk_cegcc g++ -s -o "$exe" "$obj"/*.o "${libs[@]}" -Wl,--subsystem,wince:4.10 \
    -Xlinker --image-base -Xlinker "$(bk_vcp_option base <<<"$link")" \
    -Xlinker --stack -Xlinker "$(bk_vcp_option stack <<<"$link")"
}

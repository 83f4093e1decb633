#!/bin/bash
# Footprint and responsiveness of Brondelkit beside a baseline of the
# bench's own (bench/baseline/: the least a Win32 program needs for the same
# steps), in one run under the same Wine and a private virtual display:
#   1 exe size (x86_64, i686; stripped, resources in) and imported DLLs
#   2 start to lock screen visible, median      3 resume to it, and over an
#     open one to a fresh one, median
#   4 one readiness probe against its bare calls, median per call
#   5 peak and resident memory once the lock screen has passed
#   6 CPU ticks and wake-ups in an idle minute (no dialog open)
# Prints each figure for both with the ratio, and writes them to
# ${BK_BUILD_DIR:-build}/bench/results.md. Needs root (network namespace).
#   7 a soak: 1000 resumes in bursts over a password lock, on every road
#   8 bursts of 1, 10 and 200 resumes posted at once over a password lock,
#     until the icon's tap is answered, median (on a desktop of the device's)
# Knobs: BENCH_START_RUNS (9), BENCH_RESUME_RUNS (161), BENCH_PROBE_RUNS (201),
# BENCH_IDLE_SECONDS (60), BENCH_SOAK_BURSTS (20, of 50 resumes each),
# BENCH_BURST_RUNS (21), BENCH_BURST_PROGRAM (another brondelkit.exe for 8).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

build_root=$root/${BK_BUILD_DIR:-build}
export BK_ROOT=$root BK_BUILD=$build_root/x86_64
out=$build_root/bench
rm -rf "$out/bin-x86_64" "$out/bin-i686" "$out/raw.txt"
mkdir -p "$out/bin-x86_64" "$out/bin-i686"

# The program's own compile and link flags (CMakeLists.txt), for the baseline.
cflags=(-Wall -Wextra -Werror -Os -fno-exceptions -fno-rtti -fno-threadsafe-statics
        -ffunction-sections -fdata-sections -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN)
lflags=(-mwindows -static -s -Wl,--gc-sections)
for arch in x86_64 i686; do
  bin=$out/bin-$arch
  $arch-w64-mingw32-windres -c 65001 -i "$root/bench/baseline/resident.rc" -O coff \
    -o "$bin/resident.res.o"
  $arch-w64-mingw32-g++-posix "${cflags[@]}" "$root/bench/baseline/resident.cpp" \
    "$bin/resident.res.o" "${lflags[@]}" -o "$bin/bench_base.exe"
  # The Power Manager's stand-in, as the program links it.
  platform=(-I"$root/src" "$root/src/platform/power_desktop.cpp" "$root/src/common/text.cpp")
  $arch-w64-mingw32-g++-posix "${cflags[@]}" -DBASE_PLATFORM "$root/bench/baseline/resident.cpp" \
    "${platform[@]}" "$bin/resident.res.o" "${lflags[@]}" -liphlpapi -lws2_32 -lshell32 \
    -o "$bin/bench_plat.exe"
  $arch-w64-mingw32-windres -c 65001 -I"$root/src" -I"$root/res" \
    -i "$root/bench/baseline/template.rc" -O coff -o "$bin/template.res.o"
  $arch-w64-mingw32-g++-posix "${cflags[@]}" -DBASE_PLATFORM -DBASE_TEMPLATE \
    "$root/bench/baseline/resident.cpp" "${platform[@]}" "$bin/template.res.o" "${lflags[@]}" \
    -liphlpapi -lws2_32 -lshell32 -lgdi32 -o "$bin/bench_tmpl.exe"
done
# The timing driver runs the program's probe, compiled as the program has it.
bin=$out/bin-x86_64
x86_64-w64-mingw32-g++-posix "${cflags[@]}" -I"$root/src" -c "$root/src/lock/probe.cpp" \
  -o "$bin/probe.o"
x86_64-w64-mingw32-g++-posix "${cflags[@]}" -c "$root/bench/baseline/bare_probe.cpp" \
  -o "$bin/bare_probe.o"
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -DUNICODE -D_UNICODE \
  -municode -I"$root/src" "$root/bench/driver/benchdrv.cpp" "$bin/probe.o" "$bin/bare_probe.o" \
  -static -liphlpapi -lws2_32 -o "$bin/benchdrv.exe"

raw=$out/raw.txt
: >"$raw"
size_of() {  # stripped size in bytes of a copy
  local tmp; tmp=$(mktemp)
  "$1-w64-mingw32-strip" -o "$tmp" "$2"
  stat -c %s "$tmp"; rm -f "$tmp"
}
imports() { "$1-w64-mingw32-objdump" -p "$2" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' '; }
for arch in x86_64 i686; do
  echo "@@RESULT size_$arch bytes $(size_of $arch "$out/bin-$arch/bench_base.exe")" \
       "$(size_of $arch "$build_root/$arch/brondelkit.exe")" \
       "$(size_of $arch "$out/bin-$arch/bench_plat.exe")" \
       "$(size_of $arch "$out/bin-$arch/bench_tmpl.exe")" >>"$raw"
  echo "@@IMPORTS $arch baseline $(imports $arch "$out/bin-$arch/bench_base.exe")" >>"$raw"
  echo "@@IMPORTS $arch program $(imports $arch "$build_root/$arch/brondelkit.exe")" >>"$raw"
done

source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
cleanup() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; stop_xvfb; }
trap cleanup EXIT
start_xvfb 240x320
"$root/scripts/wine-prefix.sh"
wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true

winpath() { echo "Z:${1//\//\\}"; }
echo "bench: measuring on $DISPLAY (this takes a few minutes)"
status=0
export BENCH_COMMS="bench_base.exe brondelkit.exe bench_plat.exe bench_tmpl.exe"
unshare --net --uts --mount --fork -- bash "$root/bench/session.sh" "$raw" "$bin/benchdrv.exe" \
  "${BENCH_START_RUNS:-9}" "${BENCH_RESUME_RUNS:-161}" "${BENCH_PROBE_RUNS:-201}" \
  "$(winpath "$BK_BUILD/brondelkit.exe")" "$(winpath "$bin/bench_base.exe")" BenchBaseline \
  "$(winpath "$bin/bench_plat.exe")" BenchPlatform \
  "$(winpath "$bin/bench_tmpl.exe")" BenchTemplate || status=$?
# A desktop of the device's size, as its session runs: a lock screen
# replaced costs there what it costs the device, where a bare display makes
# Wine wait for a window manager each time.
BK_NS_DESKTOP=1 unshare --net --uts --mount --fork -- bash "$root/bench/session.sh" "$raw" \
  "$bin/benchdrv.exe" burst "${BENCH_BURST_RUNS:-21}" \
  "$(winpath "${BENCH_BURST_PROGRAM:-$BK_BUILD/brondelkit.exe}")" || status=$?

# The table: figure, baseline, program, ratio, goal, met.
results=$out/results.md
cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
{
  echo "# Brondelkit bench, $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo
  echo "Machine: $cpu, $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo);" \
       "$(. /etc/os-release; echo "$PRETTY_NAME"); $(wine --version); Xvfb 240x320x24."
  echo "Runs: start ${BENCH_START_RUNS:-9}, resume ${BENCH_RESUME_RUNS:-161}," \
       "probe ${BENCH_PROBE_RUNS:-201}, idle ${BENCH_IDLE_SECONDS:-60} s."
  echo
  echo "| figure | baseline | Brondelkit | ratio | goal | met |"
  echo "|---|---|---|---|---|---|"
  awk '
    function ratio(p, b) { return (b > 0) ? sprintf("%.3f", p / b) : "-" }
    function row(name, goal, ok) {
      printf "| %s | %s %s | %s %s | %s | %s | %s |\n", name, $4, $3, $5, $3, ratio($5, $4),
             goal, ok ? "yes" : "NO"
      extra(name)
    }
    # Resumes: held to the baseline that pays what the platform makes every
    # program pay for one (libraries, the Power Manager queue and its
    # thread) and opens the lock screen'"'"'s own template.
    function resume_row(name) {
      printf "| %s | %s %s | %s %s | %s | <= 1.05x of + lock template | %s |\n", name, $7, $3,
             $5, $3, ratio($5, $7), ($5 <= 1.05 * $7) ? "yes" : "NO"
      extra(name)
    }
    function extra(name) {
      more = more sprintf("| %s | %s %s | %s %s | %s %s | %s %s | %s | %s |\n", name, $4, $3,
             $6, $3, $7, $3, $5, $3, ratio($5, $6), ratio($5, $7))
    }
    $1 == "@@RESULT" {
      k = $2; b = $4; p = $5
      if (k == "size_x86_64") row("exe size x86_64 (stripped)", "<= 98304 bytes", p <= 98304)
      else if (k == "size_i686") row("exe size i686 (stripped)", "-", 1)
      else if (k == "start") row("start to lock visible (median)", "<= 1.10x", p <= 1.10 * b)
      else if (k == "resume") resume_row("resume to lock visible (median)")
      else if (k == "resume_open") resume_row("resume over an open lock to a fresh one (median)")
      else if (k == "probe") row("one probe vs its bare calls (median)", "<= 1.05x", p <= 1.05 * b)
      else if (k == "peak") row("peak memory (VmHWM) after the lock", "<= 1.10x", p <= 1.10 * b)
      else if (k == "rss") row("resident memory (VmRSS) after the lock", "<= 1.10x", p <= 1.10 * b)
      else if (k == "idle_ticks") row("CPU ticks in the idle time", "0", p == 0)
      else if (k == "idle_wakeups") row("thread wake-ups in the idle time", "-", 1)
    }
    END {
      print ""
      print "Where the difference lies: the baseline, then the baseline that also maps the"
      print "platform libraries Brondelkit needs (Winsock, IP helper, shell icon), then that"
      print "one with the lock screen'"'"'s own template and pictures; the last ratio is the"
      print "cost of Brondelkit'"'"'s own code."
      print ""
      print "| figure | baseline | + platform libraries | + lock template | Brondelkit | Brondelkit / + libraries | Brondelkit / + template |"
      print "|---|---|---|---|---|---|---|"
      printf "%s", more
    }' "$raw"
  echo
  sed -n 's/^@@IMPORTS \([^ ]*\) \([^ ]*\) \(.*\)/- imports, \1 \2: \3/p' "$raw"
  sed -n 's/^@@SOAK /- soak: /p' "$raw"
  awk '$1 == "@@RESULT" && $2 ~ /^burst_/ { t[substr($2, 7)] = $4 }
    END {
      if (!(1 in t) || !(200 in t)) exit
      printf "- bursts over a password lock, until the icon'"'"'s tap is answered (median): "
      printf "1 resume %s ms, 10 %s ms, 200 %s ms; 200 / 1 = %.2f (goal <= 1.5: %s)\n",
             t[1], t[10], t[200], t[200] / t[1], (t[200] <= 1.5 * t[1]) ? "met" : "NOT met"
    }' "$raw"
  "$root/bench/arm-size.sh"    # the device's ARM build beside the x86_64 one
  allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|msvcrt|WS2_32|IPHLPAPI|SHELL32|COMCTL32)\.dll$'
  if sed -n 's/^@@IMPORTS [^ ]* program //p' "$raw" | tr ' ' '\n' | grep -v '^$' |
     grep -viqE "$allowed"; then
    echo "- imports of the program: NOT system DLLs only"
  else
    echo "- imports of the program: system DLLs only (met)"
  fi
  [ $status -eq 0 ] || echo "- the measuring session FAILED (status $status); figures above are incomplete"
} >"$results"
echo
cat "$results"
echo
echo "Written to $results"
exit $status

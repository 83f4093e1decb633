#!/bin/bash
# The device screen: Brondelkit on a 240x320 Wine desktop with its taskbar,
# inside network, UTS and mount namespaces of its own, where the wireless
# LAN is an interface this script adds and removes. Needs a built folder
# (brondelkit.exe, resume.exe, screenctl.exe); scripts/run.sh builds one.
#   On a display: one small window; keys r (suspend and resume), l (the
#   wireless LAN on or off), q (end). Closing stdin ends it like q.
#   With none: a private Xvfb and a guided tour, one PNG per step and a
#   contact sheet, in BK_TOUR (default BK_BUILD/tour).
#   --reg FILE.reg: a device provisioned by that file (checked first by
#   scripts/check-reg.sh, which may refuse it); with no display a preview in
#   pictures instead of the tour (default folder BK_BUILD/preview).
#   --web: the keys' session on a private Xvfb, shown in a browser at the
#   address it prints (scripts/web.sh; port BK_WEB_PORT, default 6080).
# BK_ARCH chooses the build (x86_64, i686); BK_BUILD names a folder itself.
# BK_DEVICE_LAN (up, down): the wireless LAN at the start of a session on a
# display (default up). BK_POWER_MANAGER=none: an image without the Power
# Manager; r then resumes by the wakeup and the broadcast.
# Exit status: the program's, or 1 when a step failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BK_ROOT=${BK_ROOT:-$root}
export BK_BUILD=${BK_BUILD:-$root/${BK_BUILD_DIR:-build}/${BK_ARCH:-x86_64}}

if [ "${1:-}" != --inside ]; then
  source "$root/scripts/machine.sh"
  bk_arch_runs device "$(basename "$BK_BUILD")" || exit 2
  web= reg=
  while [ $# -gt 0 ]; do
    case $1 in
      --web) web=1; shift ;;
      --reg) [ $# -ge 2 ] || { echo "usage: device.sh [--web] [--reg FILE.reg]" >&2; exit 2; }
             reg=$2; shift 2 ;;
      *) echo "device: unknown argument $1 (--web: the device screen in a browser;" \
              "--reg FILE.reg: a device provisioned by that file)" >&2; exit 2 ;;
    esac
  done
  for exe in brondelkit resume screenctl; do
    if [ ! -f "$BK_BUILD/$exe.exe" ]; then
      echo "device: $BK_BUILD/$exe.exe is missing; build first (scripts/run.sh does)" >&2
      exit 1
    fi
  done
  if [ -n "$web" ]; then
    source "$root/scripts/web.sh"
    web_check
  fi
  # The template the session copies: the tests' prefix settings, and every
  # program of the prefix on one 240x320 desktop with a taskbar.
  export WINEPREFIX=$BK_BUILD/wineprefix-device
  source "$root/scripts/wine-env.sh"
  (
    flock 9
    "$root/scripts/wine-prefix.sh"
    stamp=240x320-shell-1
    if [ "$(cat "$WINEPREFIX/.device-ready" 2>/dev/null)" != "$stamp" ]; then
      bk_device_desktop
      wineserver -w
      echo "$stamp" >"$WINEPREFIX/.device-ready"
    fi
  ) 9>"$BK_BUILD/.wineprefix-device.lock"

  # Provisioned: checked first, on a copy of the same template.
  if [ -n "$reg" ]; then
    checked=0; BK_REG_TEMPLATE=$WINEPREFIX "$root/scripts/check-reg.sh" "$reg" || checked=$?
    [ $checked -le 2 ] || exit 1
    [ $checked -le 1 ] || exit 2
    BK_DEVICE_REG=$(realpath "$reg"); export BK_DEVICE_REG
  fi

  source "$root/scripts/xvfb.sh"
  mode=tour
  if [ -n "$web" ]; then
    mode=web
  elif [ -n "${DISPLAY:-}" ]; then
    # Only a local server's socket reaches into the session's own network.
    number=${DISPLAY#*:}; socket=/tmp/.X11-unix/X${number%%.*}
    if [ "${DISPLAY%%:*}" = "" ] && [ -S "$socket" ]; then
      mode=keys
    else
      echo "device: DISPLAY=$DISPLAY is not a local X server; showing the tour instead" >&2
    fi
  fi
  if [ $mode != keys ]; then
    trap stop_xvfb EXIT
    start_xvfb 240x320
  fi
  if [ $mode = web ]; then
    trap 'web_stop; stop_xvfb' EXIT
    web_start
  fi
  if ! unshare --net --uts --mount --fork -- true 2>/dev/null; then
    echo "device: cannot make network/UTS/mount namespaces here (needs root)" >&2
    exit 1
  fi
  status=0
  unshare --net --uts --mount --fork -- bash "$0" --inside $mode || status=$?
  exit $status
fi

# Inside the namespaces.
mode=$2
# The address holds the password: for this script, not for the programs.
web_url=${BK_WEB_URL:-} web_ssh=${BK_WEB_SSH:-}
unset BK_WEB_URL BK_WEB_SSH
export WINEPREFIX=$BK_BUILD/wineprefix-device
source "$BK_ROOT/scripts/wine-env.sh"
source "$BK_ROOT/scripts/wine-ns.sh"
work=$BK_BUILD/device-$mode
rm -rf "$work"; mkdir -p "$work"
ns_names "$work" bkdevice
ns_prefix "$work"       # every session starts as a device fresh from its box
if [ -n "${BK_DEVICE_REG:-}" ]; then
  # Provisioned as a fleet does it, before the program's first start.
  source "$BK_ROOT/scripts/reg-file.sh"
  bk_reg_file "$BK_DEVICE_REG" "$work/provision.reg" >/dev/null &&
    wine "$BK_BUILD/regcheck.exe" import "$(bk_win_path "$work/provision.reg")" </dev/null >/dev/null ||
    { echo "device: cannot import $BK_DEVICE_REG" >&2; exit 1; }
fi

prog=
cleanup() {
  # Whatever still runs in the session's prefix ends with its server.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -z "$prog" ] || wait "$prog" 2>/dev/null || true
}
trap cleanup EXIT

lan_state=down
lan() {
  ns_lan "$1"
  lan_state=$1
}

# The helpers run in the session's desktop, as the platform's own would.
ctl() { wine "$BK_BUILD/screenctl.exe" "$@" </dev/null | tr -d '\r'; }
resume() { wine "$BK_BUILD/resume.exe" "$@" </dev/null >/dev/null; }

start_program() {
  wine "$BK_BUILD/brondelkit.exe" </dev/null >"$work/program.log" 2>&1 &
  prog=$!
}

# The program's exit status once it has ended.
program_status() {
  local s=0
  wait "$prog" || s=$?
  prog=
  return $s
}

# One resume; true when a fresh lock screen replaced whatever was shown.
resume_device() {
  local old
  old=$(ctl lock)
  resume
  ctl wait lock --not "$old" 10000 >/dev/null
}

keys() {
  lan "${BK_DEVICE_LAN:-up}"
  start_program
  ctl wait shown 30000 >/dev/null || { echo "device: Brondelkit did not show itself" >&2; return 1; }
  if [ $mode = web ]; then
    echo "Brondelkit runs on a 240x320 device screen ($DISPLAY, wireless LAN $lan_state), in a browser at"
    echo "  $web_url"
    echo "From another machine: $web_ssh, then the same address there."
  else
    echo "Brondelkit runs on a 240x320 device screen on $DISPLAY (wireless LAN $lan_state)."
  fi
  echo "Keys: r  suspend and resume   l  wireless LAN on/off   q  end the session"
  local key rc
  while kill -0 "$prog" 2>/dev/null; do
    rc=0
    IFS= read -rsn1 -t 0.5 key || rc=$?
    if [ $rc -gt 128 ]; then continue; fi  # nothing typed
    [ $rc = 0 ] || key=q                   # end of input
    case $key in
      r)
        if resume_device; then echo "resumed: a fresh lock screen is up"
        else echo "resumed, but no fresh lock screen came up"; fi ;;
      l)
        if [ $lan_state = up ]; then lan down; else lan up; fi
        echo "wireless LAN $lan_state" ;;
      q)
        echo "ending: close request to Brondelkit"
        resume close || true
        break ;;
    esac
  done
  local s=0
  program_status || s=$?
  echo "Brondelkit ended with exit code $s"
  return $s
}

# --- The tour: each step waited for, checked, then pictured -----------------
tour=${BK_TOUR:-$BK_BUILD/tour}
step=0
fail() {
  echo "tour: step $((step + 1)) failed: $*" >&2
  echo "tour: the screen shows: $(ctl seen 2>&1)" >&2
  exit 1
}
expect() { ctl wait "$@" >/dev/null || fail "expected $1"; }

# The password typed into the lock screen and its Close button pressed.
answer_lock() {
  ctl text 1009 "$1" && ctl click 1 || fail "cannot answer the lock screen"
}

# The program gone, and gone with exit code 0.
expect_exit_0() {
  expect gone
  local s=0
  program_status || s=$?
  [ $s = 0 ] || fail "the program ended with exit code $s"
}

# A picture once two captures in a row agree: painting has settled.
shot() {
  local a=$work/a.xwd b=$work/b.xwd i
  xwd -display "$DISPLAY" -root -silent >"$a"
  for ((i = 0; i < 50; i++)); do
    xwd -display "$DISPLAY" -root -silent >"$b"
    cmp -s "$a" "$b" && break
    mv "$b" "$a"
  done
  step=$((step + 1))
  local name; name=$(printf '%02d-%s' $step "$1")
  convert "xwd:$a" "$tour/$name.png"
  echo "  $name.png  $2"
}

# Real taps on the desktop's X window, where the device's screen would be.
tap() {
  local win X Y
  win=$(xdotool search --name ' - Wine desktop$' | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}
tap_corners() {
  local x y
  ctl corners >"$work/corners" || fail "no settings dialog to tap"
  while read -r x y; do tap "$x" "$y"; done <"$work/corners"
}
tap_icon() {
  local xy; xy=$(ctl icon) || fail "no taskbar"
  tap $xy
}

run_tour() {
  rm -rf "$tour"; mkdir -p "$tour"
  echo "Tour of Brondelkit on a 240x320 device screen ($DISPLAY); pictures in $tour"
  lan down
  start_program
  expect settings-locked 30000
  shot first-run-locked "first run: the settings dialog, locked"

  tap_corners
  expect settings-unlocked
  shot unlocked "unlocked by taps on three corners"

  ctl click 1014 && ctl text 1011 1234 || fail "cannot set a password"
  expect settings-unlocked
  shot password-set "password 1234 set, about to be saved"
  ctl click 1 || fail "cannot press the save button"
  expect lock
  [ "$(ctl stored Pass)" = 1234 ] || fail "the password was not saved"

  expect lock-waiting
  shot lock-waiting "lock screen waits for the wireless LAN"

  lan up
  expect lock-password
  shot lock-password "wireless LAN up: the lock screen asks the password"

  answer_lock 1234
  expect no-dialog
  shot passed "passed: the icon waits in the taskbar"

  tap_icon
  expect settings-locked
  shot icon-tap-settings "a tap on the icon opens the settings dialog"

  resume_device || fail "a resume opened no fresh lock screen"
  expect lock-password
  shot resume-fresh-lock "suspend and resume: a fresh lock screen"

  answer_lock 1234
  expect no-dialog
  shot passed-again "passed again"

  tap_icon
  expect settings-locked
  tap_corners
  expect settings-unlocked
  ctl click 2 || fail "cannot press the exit button"
  expect_exit_0
  shot ended-exit-0 "ended from its settings dialog with exit code 0"
  contact_sheet
}

contact_sheet() {
  montage -label '%t' "$tour"/[0-9]*.png -tile 5x -geometry +6+6 -pointsize 11 \
          "$tour/contact-sheet.png"
  echo "Contact sheet: $tour/contact-sheet.png"
}

# --- The preview of a provisioned device: what its user will see ------------
run_preview() {
  tour=${BK_TOUR:-$BK_BUILD/preview}
  rm -rf "$tour"; mkdir -p "$tour"
  echo "Preview of Brondelkit provisioned by $BK_DEVICE_REG ($DISPLAY); pictures in $tour"
  # The record as the program will hold it, read by its own settings store.
  local pass first_run
  pass=$(wine "$BK_BUILD/regcheck.exe" held Pass </dev/null) &&
    first_run=$(wine "$BK_BUILD/regcheck.exe" held first-run </dev/null) ||
    fail "cannot read the provisioned settings"
  lan down
  start_program
  if [ "$first_run" = 1 ]; then
    expect settings-locked 30000
    shot first-run-settings "no AppEnable: a first run, the settings dialog first"
    ctl click 1 || fail "cannot close the settings dialog"
  fi
  expect lock-waiting 30000
  shot lock-waiting "at start: the lock screen waits for the wireless LAN"

  lan up
  if [ -n "$pass" ]; then
    expect lock-password
    shot lock-password "wireless LAN up: the lock screen asks the password"
    answer_lock "$pass"
    expect no-dialog
  else
    expect no-dialog
    shot lock-gone "wireless LAN up: no password, the lock screen is gone"
  fi

  tap_icon
  expect settings-locked
  shot icon-tap-settings "a tap on the icon opens the settings dialog"

  # Without a password a lock screen on a usable LAN goes at once.
  [ -n "$pass" ] || lan down
  resume_device || fail "a resume opened no fresh lock screen"
  if [ -n "$pass" ]; then expect lock-password; else expect lock-waiting; fi
  shot resume-lock "after a resume: the lock screen again"

  resume close || fail "cannot ask the program to close"
  expect_exit_0
  contact_sheet
}

if [ "$mode" != tour ]; then keys
elif [ -n "${BK_DEVICE_REG:-}" ]; then run_preview
else run_tour; fi

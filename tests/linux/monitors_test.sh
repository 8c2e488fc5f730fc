#!/usr/bin/env bash
# Two monitors side by side: each window is shown centred on the monitor under the pointer, the
# dialog at the start, the display at each press after it had gone. Run under session.sh with
# BRISEL_XSERVER=dummy BRISEL_WM=openbox.
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
# at NAME X Y: the viewable window NAME has its top left corner at (X, Y)
at() {
  local w; w=$(window "$1") || return 1
  geometry "$w" | cut -d ' ' -f 1,2 >"$work/position"
  [ "$(cat "$work/position")" = "$2 $3" ]
}
# layout W H X Y  W H X Y: the screen's monitors, the first made first (Xinerama's head 0).
layout() {
  xrandr --listmonitors | sed -n 's/^ *[0-9]*: [+*]*\([^ ]*\) .*/\1/p' >"$work/monitors"
  # The output's own monitor cannot be deleted (BadValue): one set on the output replaces it.
  while read -r name; do [ "$name" = DUMMY0 ] || xrandr --delmonitor "$name"; done <"$work/monitors"
  # W/mm x H/mm + X + Y, at 96 dpi
  xrandr --setmonitor first "$1/$(($1 * 254 / 960))x$2/$(($2 * 254 / 960))+$3+$4" none
  xrandr --setmonitor second "$5/$(($5 * 254 / 960))x$6/$(($6 * 254 / 960))+$7+$8" DUMMY0
  [ "$(xdpyinfo -ext XINERAMA | grep -c "head #")" = 2 ] || fail "not two heads: $(xdpyinfo -ext XINERAMA)"
}
# check "LAYOUT" POINTER_X POINTER_Y DIALOG_X DIALOG_Y [POINTER_X POINTER_Y DISPLAY_X DISPLAY_Y]...
check() {
  layout $1
  xdotool mousemove "$2" "$3"
  from_silence
  brisel_up
  wait_for 10 at Config "$4" "$5" || fail "the dialog is at $(cat "$work/position"), not $4 $5"
  hand_over
  shift 5
  while [ $# -gt 0 ]; do
    xdotool mousemove "$1" "$2"
    press XF86AudioRaiseVolume window Splash
    at Splash "$3" "$4" || fail "the display is at $(cat "$work/position"), not $3 $4"
    wait_for 5 gone Splash
    shift 4
  done
  brisel_quits
}

step "two 1280 x 1024 monitors, the right one the first head; presses on the left, then the right"
check "1280 1024 1280 0  1280 1024 0 0" 2000 500 $((1280 + 490)) 362  300 300 535 408  2000 800 $((1280 + 535)) 408
step "1760 x 1024 as the first head, beside 800 x 600 at the origin; presses on the small one, then the large"
check "1760 1024 800 0  800 600 0 0" 1000 500 $((800 + 730)) 362  100 100 295 196  1500 900 1575 408
echo "monitors: all checks passed"

#!/usr/bin/env bash
# Two monitors side by side: each window appears centred on the monitor under the pointer when
# it is shown: the dialog at the start, the display at each press after it had gone. Two of the
# same size, the right one made first; then an uneven pair, 800 x 600 at the origin and
# 1760 x 1024 beside it as the first head.
# Run under session.sh with BRISEL_XSERVER=dummy BRISEL_WM=openbox:  monitors_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT
position() {
  timeout 5 xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}
# at NAME X Y: the viewable window NAME has its top left corner at (X, Y)
at() {
  local w; w=$(window "$1") || return 1
  position "$w" >"$work/position"
  [ "$(cat "$work/position")" = "$2 $3" ]
}
# monitors W H X Y  W H X Y: the screen's monitors, the first made first (Xinerama's head 0).
monitors() {
  xrandr --listmonitors | sed -n 's/^ *[0-9]*: [+*]*\([^ ]*\) .*/\1/p' >"$work/monitors"
  # The output's own monitor cannot be deleted (BadValue); a monitor set on the output replaces it.
  while read -r name; do [ "$name" = DUMMY0 ] || xrandr --delmonitor "$name"; done <"$work/monitors"
  # xrandr's geometry: W/mm x H/mm + X + Y, at 96 dpi.
  xrandr --setmonitor first "$1/$(($1 * 254 / 960))x$2/$(($2 * 254 / 960))+$3+$4" none
  xrandr --setmonitor second "$5/$(($5 * 254 / 960))x$6/$(($6 * 254 / 960))+$7+$8" DUMMY0
  xdpyinfo -ext XINERAMA | grep "head #" >"$work/heads"
  cat "$work/heads"
  [ "$(wc -l <"$work/heads")" = 2 ] || fail "not two heads"
}
start() {
  pactl set-sink-volume @DEFAULT_SINK@ 0%
  "$brisel" >"$work/brisel.log" 2>&1 &
  pid=$!
  wait_for 10 window Config
}
run() {
  local config; config=$(window Config)
  xdotool mousemove --window "$config" 224 276 click 1
  wait_for 5 gone Config
}
# press X Y: the pointer to (X, Y), then volume up; the display maps.
press() {
  xdotool mousemove "$1" "$2"
  tap XF86AudioRaiseVolume
  wait_for 5 window Splash
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

step "two 1280 x 1024 monitors, the right one the first head"
monitors 1280 1024 1280 0  1280 1024 0 0
xdotool mousemove 2000 500
start
wait_for 5 at Config $((1280 + 490)) 362 || fail "the dialog is at $(cat "$work/position"), not on the right monitor's centre"
run
step "a press with the pointer on the left monitor: the display on its centre"
press 300 300
at Splash 535 408 || fail "the display is at $(cat "$work/position")"
wait_for 5 gone Splash
step "the next press with the pointer on the right monitor: the display on the right one's centre"
press 2000 800
at Splash $((1280 + 535)) 408 || fail "the display is at $(cat "$work/position")"
wait_for 5 gone Splash
stop

step "an uneven pair: 1760 x 1024 as the first head, beside 800 x 600 at the origin"
monitors 1760 1024 800 0  800 600 0 0
xdotool mousemove 1000 500
start
wait_for 5 at Config $((800 + 730)) 362 || fail "the dialog is at $(cat "$work/position")"
run
press 100 100
at Splash 295 196 || fail "the display is at $(cat "$work/position"), not on the small monitor's centre"
wait_for 5 gone Splash
press 1500 900
at Splash 1575 408 || fail "the display is at $(cat "$work/position"), not on the large monitor's centre"
wait_for 5 gone Splash
stop
echo "monitors: all checks passed"

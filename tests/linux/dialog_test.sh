#!/usr/bin/env bash
# The setup dialog under a window manager, on a 1366x768 screen: it takes the focus, "Run" is a
# raised button, Escape does nothing, Enter in a selector keeps the text and the focus, Enter on
# "Run" hands over, the lists drop below their fields and stay on the screen, and closing the
# dialog through the window manager ends the program.
# Run under session.sh with BRISEL_WM=openbox BRISEL_SCREEN=1366x768x24:  dialog_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
focused_on() { [ "$("$xprobe" focus)" = "$1" ]; }
# arrow CONFIG ROW: a click on the arrow of the selector whose top is ROW (128, 160, 192)
arrow() { xdotool mousemove --window "$1" 215 $(($2 + 10)) click 1; }
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT
start() {
  "$brisel" >"$work/brisel.log" 2>&1 &
  pid=$!
  wait_for 10 window Config
  config=$(window Config)
  wait_for 5 focused_on "$config"
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

start
timeout 5 xprop -id "$config" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the dialog has a taskbar entry"

step "Run is a raised grey button: light top and left edge, dark bottom and right, face 128"
# Run covers (168, 264) to (280, 288); the focus is in the first selector, not on it. Waits for
# the first full draw.
button_raised() {
  local top left face bottom right
  read -r top left face bottom right <<<"$("$xprobe" pixels "$config" 200 264 168 276 176 270 200 288 280 276 | tr '\n' ' ')"
  echo "edge top $top, left $left, face $face, bottom $bottom, right $right" >"$work/button"
  [ "$face" = 128,128,128 ] && [ "${top%%,*}" -gt 128 ] && [ "${left%%,*}" -gt 128 ] &&
    [ "${bottom%%,*}" -lt 128 ] && [ "${right%%,*}" -lt 128 ]
}
wait_for 5 button_raised || fail "not a raised grey button: $(cat "$work/button")"
cat "$work/button"

step "Escape leaves the dialog; Enter in a selector keeps its text and the focus"
xdotool key --delay 0 Escape
xdotool key --delay 0 ctrl+a && xdotool type --delay 1 "F5" && xdotool key --delay 0 Return
xdotool key --delay 0 Tab ctrl+a && xdotool type --delay 1 "F6"

step "the mute selector's list drops below its field, fits on the screen, and Enter picks a name"
read -r cx cy _ _ < <(geometry "$config")
arrow "$config" 192
wait_for 5 window KeyList
read -r lx ly lw lh < <(geometry "$(window KeyList)")
echo "dialog at $cx,$cy; list at $lx,$ly, ${lw}x$lh"
[ "$lx" = $((cx + 72)) ] && [ "$ly" = $((cy + 213)) ] && [ "$lw" = 153 ] || fail "the list is not below its field"
[ $((ly + lh)) -le 768 ] && [ "$lh" -gt 100 ] || fail "the list does not fit on the screen"
xdotool key --delay 0 Up Up Up Return  # from "Apple Mute" up to " /", the keypad's divide key
wait_for 5 gone KeyList

step "Enter on the focused Run hands over to the keys typed and picked"
xdotool key --delay 0 shift+Tab Return
wait_for 5 gone Config
tap F5
wait_for 5 volume_is 2
tap F6
wait_for 5 volume_is 1
tap KP_Divide
wait_for 5 mute_is yes
tap KP_Divide
wait_for 5 mute_is no
[ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }
stop

step "a click picks a name from a list; Escape and a click outside close one and change nothing"
pactl set-sink-volume @DEFAULT_SINK@ 0%  # the next brisel starts from the output's volume
start
arrow "$config" 160
wait_for 5 window KeyList
xdotool key --delay 0 Escape
wait_for 5 gone KeyList
arrow "$config" 160
wait_for 5 window KeyList
xdotool mousemove --window "$config" 150 20 click 1
wait_for 5 gone KeyList
kill -0 "$pid" || fail "a click outside the list ended brisel"
xdotool key --delay 0 ctrl+a && xdotool type --delay 1 "F2"  # the list opens with F2 in view at the top
arrow "$config" 128
wait_for 5 window KeyList
read -r lx ly _ _ < <(geometry "$(window KeyList)")
xdotool mousemove $((lx + 30)) $((ly + 8)) click 1  # the first row, "F1"
wait_for 5 gone KeyList
xdotool mousemove --window "$config" 224 276 click 1
wait_for 5 gone Config
tap F1  # from 0 %, level 0 to 1
wait_for 5 volume_is 2
tap XF86AudioLowerVolume
wait_for 5 volume_is 1
stop

step "closing the dialog through the window manager ends brisel with status 0"
start
xdotool key --delay 0 alt+F4
wait_for 5 bash -c "! kill -0 $pid"
reap
[ "$rc" = 0 ] || { cat "$work/brisel.log"; fail "status $rc after the window manager's close"; }
echo "dialog under a window manager: all checks passed"

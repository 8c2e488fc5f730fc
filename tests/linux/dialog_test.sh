#!/usr/bin/env bash
# The setup dialog under a window manager on a 1366x768 screen, worked as a user works it, and what
# the screen (Xvfb's framebuffer) shows of it: the same steps without a compositor, the toolkit's
# drawing taken as the reference, then with one, where the 32-bit dialog at 220 over the flat root,
# the blend undone, must match it. The first run ends through the window manager; the second picks
# keys with the keyboard and the mouse and hands over with Enter.
# Run under session.sh with BRISEL_WM=openbox BRISEL_FBDIR=1 BRISEL_SCREEN=1366x768x24.
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
screen=$work/Xvfb_screen0
[ -f "$screen" ] || fail "no framebuffer file: run under session.sh with BRISEL_FBDIR=1"

# shoot NAME X Y W H: that rectangle of the screen into NAME.bmp.
shoot() { "$xprobe" framebuffer "$screen" "$2" "$3" "$4" "$5" "$work/$1.bmp"; }
same() { "$xprobe" same-inside "$1" "$2" "${outline[@]}" >/dev/null; }
# shows NAME ALPHA BEFORE X Y W H: the rectangle after the step NAME, inside `outline`. Without a
# compositor it is the reference once it has changed from BEFORE (the step before's) and holds
# still; with one it shows the reference at ALPHA over the flat backdrop.
shows() {
  shoot "$run-$1" "${@:4}" || return 1
  if [ "$run" = plain ]; then
    ! same "$work/plain-$1.bmp" "$3" && shoot again "${@:4}" && same "$work/plain-$1.bmp" "$work/again.bmp"
  else
    "$xprobe" over-backdrop "$work/$run-$1.bmp" "$work/plain-$1.bmp" "$2" "${outline[@]}" >"$work/difference"
  fi
}
compare() {
  wait_for 5 shows "$@" || fail "$1: the screen did not settle, or does not show the dialog as drawn: $(cat "$work/difference")"
  [ "$run" = plain ] || echo "$1: $(cat "$work/difference")"
}
# look NAME [ALPHA]: the dialog after the step NAME (at 220 unless ALPHA), the pointer kept clear
# of it unless a button is held.
look() {
  [ -n "$held" ] || xdotool mousemove 0 0
  outline=(300 300 45 45)
  compare "$1" "${2:-220}" "$work/plain-$previous.bmp" "${dialog[@]}"
  previous=$1
}
click() { xdotool mousemove --window "$config" "$1" "$2" click 1; }  # at that point of the dialog
# arrow ROW: a click on the arrow of the selector whose top is ROW (128, 160, 192); its list maps.
arrow() { click 215 $(($1 + 10)) && wait_for 5 window KeyList; }
type_into() { xdotool key --delay 0 ctrl+a && xdotool type --delay 1 "$1"; }
composited() { "$xprobe" owner _NET_WM_CM_S0 >/dev/null; }
not_composited() { ! composited; }
focused_on() { [ "$("$xprobe" focus)" = "$1" ]; }
# Run, (168, 264) to (280, 288), is a raised grey button: face 128, edges light top and left, dark
# bottom and right.
button_raised() {
  local top left face bottom right
  "$xprobe" pixels "$config" 200 264 168 276 176 270 200 288 280 276 | xargs >"$work/button"
  read -r top left face bottom right <"$work/button"
  [ "$face" = 128,128,128 ] && [ "${top%%,*}" -gt 128 ] && [ "${left%%,*}" -gt 128 ] && [ "${bottom%%,*}" -lt 128 ] && [ "${right%%,*}" -lt 128 ]
}

for run in plain composited; do
  if [ "$run" = plain ]; then stop_compositor && wait_for 5 not_composited; else start_compositor && wait_for 5 composited; fi
  step "$run: the dialog fades in with the focus, no taskbar entry, and Run a raised button"
  log=$work/$run.trace
  brisel_up --trace "$log" --up F10 --down F9 --mute F8
  wait_for 10 faded_in Config
  config=$(window Config)
  wait_for 5 focused_on "$config"
  timeout 5 xprop -id "$config" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the dialog has a taskbar entry"
  wait_for 5 button_raised || fail "not a raised grey button: $(cat "$work/button")"
  read -r -a dialog < <(geometry "$config")
  previous=none held=  # nothing before the first look: it takes the dialog as drawn
  look start
  step "$run: F1 typed into the first field (Ctrl+A first); Tab, F2 typed; Tab to Run, Tab, F3 typed"
  click 100 138
  type_into F1 && look F1
  xdotool key --delay 0 Tab && look tab-down
  type_into F2 && look F2
  xdotool key --delay 0 Tab && look tab-run
  xdotool key --delay 0 Tab && look tab-mute
  type_into F3 && look F3
  step "$run: the first field's list, drawn; the fourth name from its top picked with a click"
  arrow 128
  read -r -a list < <(geometry "$(window KeyList)")
  xdotool mousemove 0 0
  outline=("${list[2]}" "${list[3]}" 1 1)
  compare list 255 "$work/none.bmp" "${list[@]}"
  xdotool mousemove $((list[0] + 30)) $((list[1] + 8 + 3 * 18)) click 1
  wait_for 5 gone KeyList
  look picked
  step "$run: a press on Run's face, the pointer dragged off the dialog, and let go there"
  # The release waits until the button is drawn raised again: the toolkit has had the drag (a
  # release in the same batch as the move would count as a click).
  xdotool mousemove --window "$config" 224 276 mousedown 1
  held=1
  look pressed
  xdotool mousemove 0 0
  look dragged-off
  held=
  xdotool mouseup 1
  step "$run: the compositor stopped under the dialog, F4 typed into the second field"
  [ "$run" = plain ] || { stop_compositor && wait_for 5 not_composited; }
  # Without a compositor the 32-bit window's pixels are shown as they are: its colours at 220,
  # premultiplied, over black.
  click 100 170
  type_into F4 && look F4 220
  # The press let go off Run handed nothing over: the dialog never began to fade out.
  [ "$(awk '$2 == "Config" && $3 == "opacity" { last = $4 } END { print last }' "$log")" = 220 ] ||
    fail "the dialog faded out: $(tail -n 3 "$log")"
  [ "$run" = plain ] || break
  step "plain: closing the dialog through the window manager ends brisel with status 0"
  xdotool key --delay 0 alt+F4
  wait_for 5 bash -c "! kill -0 $pid"
  reap
  [ "$rc" = 0 ] && [ ! -s "$work/brisel.log" ] || fail "status $rc after the window manager's close: $(cat "$work/brisel.log")"
done

step "Escape leaves the dialog; Enter in a selector keeps its text and the focus"
start_compositor && wait_for 5 composited
click 100 138
xdotool key --delay 0 Escape
type_into F5 && xdotool key --delay 0 Return
xdotool key --delay 0 Tab && type_into F2
step "Escape and a click outside close a list and change nothing; a click picks a name"
arrow 160
xdotool key --delay 0 Escape
wait_for 5 gone KeyList
arrow 160
click 150 20
wait_for 5 gone KeyList
kill -0 "$pid" || fail "a click outside the list ended brisel"
arrow 160  # it opens with F2 in view at the top
read -r lx ly _ _ < <(geometry "$(window KeyList)")
xdotool mousemove $((lx + 30)) $((ly + 8)) click 1  # the first row, "F1"
wait_for 5 gone KeyList

step "the mute selector's list drops below its field and fits on the screen; Enter picks a name"
read -r cx cy _ _ < <(geometry "$config")
arrow 192
read -r lx ly lw lh < <(geometry "$(window KeyList)")
echo "dialog at $cx,$cy; list at $lx,$ly, ${lw}x$lh"
[ "$lx" = $((cx + 72)) ] && [ "$ly" = $((cy + 213)) ] && [ "$lw" = 153 ] || fail "the list is not below its field"
[ $((ly + lh)) -le 768 ] && [ "$lh" -gt 100 ] || fail "the list does not fit on the screen"
xdotool key --delay 0 $(printf 'Down %.0s' {1..17}) Return  # from F3 down to " /", the keypad's divide key
wait_for 5 gone KeyList

step "Enter on the focused Run hands over to the keys typed and picked"
xdotool key --delay 0 shift+Tab Return
wait_for 5 gone Config
press F5 volume_is 2
press F1 volume_is 1
press KP_Divide mute_is yes
press KP_Divide mute_is no
# Ended by a signal: after a list was shown, LeakSanitizer finds a GC of the toolkit's lost at exit.
[ ! -s "$work/brisel.log" ] || fail "brisel wrote to its terminal: $(cat "$work/brisel.log")"
echo "the dialog: all checks passed"

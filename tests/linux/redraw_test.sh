#!/usr/bin/env bash
# What the screen shows of the setup dialog while the user works it, on a composited screen as
# without a compositor: the same steps twice, first with no compositing manager (the screen shows
# the toolkit's drawing as it is), then with one, where the dialog is a 32-bit window at opacity
# 220 over the compositor's flat root. After each step the dialog's rectangle on the screen, read
# from the X server's framebuffer, with the root's blend undone, must match the first run's.
# The steps: typing into each field, Tab from field to field, a name picked from a field's list
# (the list, a window of its own, is compared as well), a press on Run let go off it, and, with the
# compositor stopped under the running dialog, typing again.
# Run under session.sh with BRISEL_FBDIR=1 BRISEL_WM=openbox:  redraw_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
screen=$work/Xvfb_screen0
[ -f "$screen" ] || fail "no framebuffer file: run under session.sh with BRISEL_FBDIR=1"
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT

# shoot NAME X Y W H: that rectangle of the screen, as the X server shows it, into NAME.bmp.
shoot() { "$xprobe" framebuffer "$screen" "$2" "$3" "$4" "$5" "$work/$1.bmp"; }
same() { "$xprobe" same-inside "$1" "$2" "${outline[@]}" >/dev/null; }
# Without a compositor the screen is the toolkit's drawing: once the rectangle has changed from
# BEFORE (the step before's picture) and then holds still, it is the reference for the step.
settled() {
  shoot "plain-$1" "${@:3}" && ! same "$work/plain-$1.bmp" "$2" &&
    shoot plain-again "${@:3}" && same "$work/plain-$1.bmp" "$work/plain-again.bmp"
}
# With a compositor: the rectangle shows the reference at ALPHA over the flat backdrop.
matches() {
  shoot "$run-$1" "${@:3}" &&
    "$xprobe" over-backdrop "$work/$run-$1.bmp" "$work/plain-$1.bmp" "$2" "${outline[@]}" >"$work/difference"
}
# compare NAME ALPHA BEFORE X Y W H: the rectangle after the step NAME, inside `outline`: taken as
# the reference, or compared with it.
compare() {
  if [ "$run" = plain ]; then
    wait_for 5 settled "$1" "$3" "${@:4}" || fail "$1: the screen did not change, or did not settle"
    echo "$1: taken"
  else
    wait_for 5 matches "$1" "$2" "${@:4}" || {
      cp "$work/$run-$1.bmp" "/tmp/brisel-redraw-$1.bmp" && cp "$work/plain-$1.bmp" "/tmp/brisel-redraw-$1-expected.bmp"
      fail "$1: the screen does not show the dialog as drawn: $(cat "$work/difference") (/tmp/brisel-redraw-$1.bmp)"
    }
    echo "$1: $(cat "$work/difference")"
  fi
}
# look NAME [ALPHA]: the dialog after the step NAME (at 220 unless ALPHA), the pointer kept clear
# of it unless a button is held.
look() {
  [ -n "$held" ] || xdotool mousemove 0 0
  outline=(300 300 45 45)
  compare "$1" "${2:-220}" "$work/plain-$previous.bmp" "${dialog[@]}"
  previous=$1
}
# click X Y: a click at that point of the dialog.
click() { xdotool mousemove --window "$config" "$1" "$2" click 1; }
type_into() { xdotool key --delay 0 ctrl+a && xdotool type --delay 1 "$1"; }
composited() { "$xprobe" owner _NET_WM_CM_S0 >/dev/null; }
not_composited() { ! composited; }

for run in plain composited; do
  if [ "$run" = plain ]; then
    stop_compositor
    wait_for 5 not_composited
  else
    start_compositor
    wait_for 5 composited
  fi
  step "$run: the dialog faded in, the focus in the first field"
  log=$work/$run.trace
  "$brisel" --trace "$log" --up F10 --down F9 --mute F8 >"$work/brisel.log" 2>&1 &
  pid=$!
  wait_for 10 faded_in Config
  config=$(window Config)
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
  click 215 138
  wait_for 5 window KeyList
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
  [ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
done
echo "the dialog's redraws on the screen: all checks passed"

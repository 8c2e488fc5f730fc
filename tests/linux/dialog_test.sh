#!/usr/bin/env bash
# The setup dialog under a window manager: it takes the focus, the user types the three key
# names (Tab moves volumeup, volumedown, Run, volumemute), and "Run" hands over to those keys.
# Run under session.sh with BRISEL_WM=openbox:  dialog_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
window() { "$xprobe" find "$1"; }
focused_on() { [ "$("$xprobe" focus)" = "$1" ]; }

wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK  # the window manager is up
"$brisel" >"$work/brisel.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_for 5 window Config
config=$(window Config)
xprop -id "$config" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the dialog has a taskbar entry"
wait_for 5 focused_on "$config"

# Replace each selector's text: select all, type.
xdotool key --delay 0 ctrl+a && xdotool type --delay 1 "F5"
xdotool key --delay 0 Tab ctrl+a && xdotool type --delay 1 "F6"
xdotool key --delay 0 Tab Tab ctrl+a && xdotool type --delay 1 "Esc"
xdotool mousemove --window "$config" 224 276 click 1
wait_for 5 bash -c "! $xprobe find Config"

tap F5
wait_for 5 volume_is 1
tap F6
wait_for 5 volume_is 2
tap Escape
wait_for 5 mute_is yes
[ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }
echo "dialog under a window manager: all checks passed"

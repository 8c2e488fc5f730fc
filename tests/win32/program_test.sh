#!/usr/bin/env bash
# brisel.exe under Wine on a desktop of its own (Xvfb, openbox, xcompmgr, PulseAudio): --help
# lists exactly the options it accepts, a usage error is one line and a pointer to --help; the
# dialog maps shaped and fades in; the keys typed into it reach the program in its tab order;
# a click on "Run" hands over; keys pressed while a Wine window has the focus show the display,
# which fades in, holds and unmaps without taking the focus; the mixer calls are checked in
# the trace and in Wine's own log of the Core Audio calls; a second program says so and ends, in
# one line on a pipe, in a message box when started with no console, file or pipe.
# Closing the dialog before "Run" ends the program with status 0.
# Run under session.sh with BRISEL_WM=openbox:  program_test.sh BRISEL.EXE BRISEL-SIM.EXE
set -euo pipefail
exe=$1 sim=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../linux/lib.sh"
. "$here/lib.sh"
work=$BRISEL_SESSION
traced() { [ "$(grep -c -- " $1\$" "$work/trace.log")" -ge "$2" ]; }
use_private_prefix "$exe"

step "--help, --version and usage errors"
[ "$(status wine_run "$exe" --help)" = 0 ] && grep -q -- "--trace FILE" "$work/out" || fail "--help: $(cat "$work/out")"
[ "$(wine_run "$exe" --version | tr -d '\r')" = "brisel 0.1" ] || fail "--version"
[ "$(status wine_run "$exe" --frobnicate)" = 2 ] && [ ! -s "$work/out" ] &&
  [ "$(tr -d '\r' <"$work/err")" = "brisel: unknown option '--frobnicate'
Try 'brisel --help' for more information." ] || fail "unknown option: $(cat "$work/out" "$work/err")"
[ "$(status wine_run "$exe" --trace 'Z:\no\such\dir\t.log')" = 2 ] && grep -q 'no\\such\\dir' "$work/err" ||
  fail "bad trace file: $(cat "$work/err")"

step "closing the dialog before Run (Alt+F4) ends brisel.exe with status 0"
wine_run "$exe" >"$work/close.out" 2>&1 &
closing=$!
wait_for 30 x_window Form1 300 300
dialog=$(x_window Form1 300 300)
xdotool windowfocus --sync "$dialog"
wait_for 5 x_focused "$dialog"
xdotool key --delay 20 alt+F4
wait_for 30 bash -c "! kill -0 $closing"
set +e
wait "$closing"; rc=$?
set -e
[ "$rc" = 0 ] || fail "status $rc after the close: $(cat "$work/close.out")"

step "every option --help lists is accepted (given before --help, which then ends the program)"
wine_run "$exe" --help | tr -d '\r' | sed -n -E 's/^  (--[a-z]+)( [^ ]+)?  .*/\1\2/p' >"$work/listed"
[ "$(wc -l <"$work/listed")" -ge 7 ] || fail "--help lists: $(cat "$work/listed")"
while read -r option value; do
  [ "$(status wine_run "$exe" "$option" ${value:+"${value%%|*}"} --help </dev/null)" = 0 ] ||
    fail "$option, listed by --help, is refused: $(cat "$work/err")"
done <"$work/listed"
for option in --quit --key --autostart; do
  grep -q -- "^$option\b" "$work/listed" || fail "--help does not list $option"
done

step "a Wine window to type into: the keys reach Wine only while one of its windows has the focus"
wine_run notepad >"$work/notepad.log" 2>&1 &
notepad_window() { xdotool search --onlyvisible --name "Notepad\$" | head -n 1 | grep .; }
wait_for 30 notepad_window
notepad=$(notepad_window)

step "the dialog: 300x300, centred, shaped, fading in to 220"
# The trace file is named as Windows names it; the Core Audio calls go to Wine's log.
WINEDEBUG=-all,trace+mmdevapi wine_run "$exe" --trace "Z:${work//\//\\}\\trace.log" >"$work/brisel.out" 2>"$work/wine.log" &
wait_for 30 x_window Form1 300 300
config=$(x_window Form1 300 300)
timeout 5 xwininfo -id "$config" | grep -q "Absolute upper-left X:  490" || fail "dialog not centred horizontally"
timeout 5 xwininfo -id "$config" | grep -q "Absolute upper-left Y:  362" || fail "dialog not centred vertically"
[ "$(x_shape "$config")" = 299x299 ] || fail "dialog shape: $(x_shape "$config")"
timeout 5 xprop -id "$config" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the dialog has a taskbar entry"
opacity_is() { [ "$(x_opacity "$1")" = "$2" ]; }
wait_for 10 opacity_is "$config" $((220 * 0x01010101))
grep -q " Config opacity 0$" "$work/trace.log" || fail "the dialog did not start transparent"

step "typed into the dialog: volumeup has the focus, Tab goes volumedown, Run, volumemute"
xdotool windowfocus --sync "$config"
replace() { xdotool key --delay 20 End shift+Home BackSpace && xdotool type --delay 20 "$1"; }
replace F7
xdotool key --delay 20 Tab && replace F8
xdotool key --delay 20 Tab Tab && replace F9

step "a click on Run hands over"
xdotool mousemove --window "$config" 224 276 click 1
wait_for 10 traced "Config hidden" 1
wait_for 10 x_unmapped "$config"
grep " Config opacity " "$work/trace.log" | tail -n 1 | grep -q " 0$" || fail "the dialog did not fade out"

step "volume up (F7) with notepad focused: the display shows without taking the focus"
# The display's X window exists, unmapped, from the hand-over: watch its opacity from now on.
wait_for 10 x_window_any Form1 209 207
splash=$(x_window_any Form1 209 207)
timeout 60 xprop -spy -id "$splash" _NET_WM_WINDOW_OPACITY >"$work/opacity.log" 2>&1 &
spy=$!
xdotool windowfocus --sync "$notepad"
wait_for 5 x_focused "$notepad"
tap F7
wait_for 10 x_viewable "$splash"
opacity_reached() { grep -q "= $((220 * 0x01010101))\$" "$work/opacity.log"; }
wait_for 10 opacity_reached
kill "$spy"
seen=$(sed -n 's/.* = \([0-9]*\)$/\1/p' "$work/opacity.log" | uniq)
echo "opacity seen:" $seen
[ "$(echo "$seen" | sort -n -c 2>&1)" = "" ] || fail "the display's opacity went down while it faded in: $seen"
[ "$(echo "$seen" | wc -l)" -ge 5 ] || fail "the display's opacity did not step up: $seen"
[ "$(x_shape "$splash")" = 209x204 ] || fail "display shape: $(x_shape "$splash")"
# Not managed at all: no taskbar entry, and the window manager never gives it the focus.
timeout 5 xwininfo -id "$splash" | grep -q "Override Redirect State: yes" || fail "the display is managed"
x_focused "$notepad" || fail "the display took the X focus"
# Keys typed now still reach notepad: Ctrl+F opens its Find dialog.
xdotool key --delay 20 ctrl+f
wait_for 10 sh -c 'xdotool search --onlyvisible --name "^Find$" | grep -q .'
xdotool key --delay 20 Escape
wait_for 10 sh -c '! xdotool search --onlyvisible --name "^Find$" | grep -q .'

step "after the hold and the fade-out the display unmaps"
wait_for 10 traced "Splash hidden" 1
wait_for 5 x_unmapped "$splash"

step "the trace so far is the simulator's for the same choices and press"
# Wine's endpoint answers a full volume, sound on, to the display's read: so does the simulator's.
cat >"$work/first.sim" <<'SCRIPT'
mixer value 11 65535
mixer value 12 0
start
wait 300
select volumeup "F7"
select volumedown "F8"
select volumemute "F9"
click Run
wait 300
tap 118
wait 3000
SCRIPT
wine_run "$sim" "$work/first.sim" >"$work/sim.trace"
# Without the times, and without the mixer's own handle and answers (checked below).
normal() { sed -E 's/^[0-9]+ //; s/^(mixer[SG]etControlDetails) [0-9]+ ([0-9]+ [0-9]+) -> [0-9]+$/\1 H \2 -> R/'; }
diff <(normal <"$work/sim.trace") <(sed -n '1,/ Splash hidden$/p' "$work/trace.log" | normal) || fail "the traces differ"

step "volume down (F8) twice and mute (F9), each seen before the next"
xdotool windowfocus --sync "$notepad"
tap F8
wait_for 10 traced "mixerSetControlDetails 1 11 65500 -> 1" 1
tap F8
wait_for 10 traced "mixerSetControlDetails 1 11 64190 -> 1" 1
tap F9
wait_for 10 traced "mixerSetControlDetails 1 12 1 -> 0" 1
wait_for 10 traced "Splash hidden" 2

step "the mixer calls: the trace, and Wine's log of Core Audio"
# The display starts where Wine's endpoint stands, at full volume (level 79, 99.75 %) and sound
# on. F7 to level 80: 101 %, clamped to 65535, to wave-out's volume, then sound on; F8 to level
# 79: 100 % (65500 of 65535), sound on; F8 to level 78: 98.5 %, to even 98 %, sound on; F9 after
# 100 ms: muted. Wine 8
# answers E_NOTIMPL to every volume write (-> 1, MMSYSERR_ERROR); mute writes succeed.
mixer_lines=$(sed -n 's/^[0-9]* \(mixer.*\)$/\1/p' "$work/trace.log")
expected="mixerOpen 0 -> 0
mixerGetControlDetails 1 11 65535 -> 0
mixerGetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 65535 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 65500 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 64190 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 12 1 -> 0"
[ "$mixer_lines" = "$expected" ] || fail "mixer trace: $mixer_lines"
calls=$(sed -n 's/.*:trace:mmdevapi:AEV_\(SetMasterVolumeLevelScalar\|SetMute\) [^>]*>(\([^,]*\),.*/\1 \2/p' "$work/wine.log")
expected="SetMasterVolumeLevelScalar 1.000000
SetMute 0
SetMasterVolumeLevelScalar 0.999466
SetMute 0
SetMasterVolumeLevelScalar 0.979477
SetMute 0
SetMute 1"
[ "$calls" = "$expected" ] || fail "Core Audio calls: $calls"
# The default endpoint is followed: its notifications are asked for (Wine 8 only stubs the
# volume's), and the program's own writes carry an event context of their own, always the same.
grep -q ':trace:mmdevapi:MMDevEnum_RegisterEndpointNotificationCallback ' "$work/wine.log" &&
  grep -q ':trace:mmdevapi:AEV_RegisterControlChangeNotify ' "$work/wine.log" || fail "notifications not asked for"
contexts=$(sed -n 's/.*:trace:mmdevapi:AEV_Set\(MasterVolumeLevelScalar\|Mute\) [^>]*>([^,]*,\([^)]*\)).*/\2/p' "$work/wine.log" | sort -u)
[ "$(echo "$contexts" | wc -l)" = 1 ] && [[ $contexts == "{"* ]] || fail "event contexts: $contexts"

step "a second program says that one is running and ends with status 1: one line on a pipe, no window"
set +e
timeout 5 "$BRISEL_WINE_RUN" "$exe" --run 2>&1 >/dev/null | tr -d '\r' >"$work/second.err"
rc=${PIPESTATUS[0]}
set -e
[ "$rc" = 1 ] && one_line "$work/second.err" "^brisel: already running in this session$" ||
  fail "second program: status $rc, $(cat "$work/second.err")"
! xdotool search --name "^Brisel$" | grep -q . || fail "the second program opened a window"
# With no console, file or pipe (standard error on NUL: Wine tells /dev/null apart from a
# terminal), as from Explorer: a message box says it.
wine_run "$exe" </dev/null >/dev/null 2>/dev/null &
second=$!
wait_for 30 sh -c 'xdotool search --onlyvisible --name "^Brisel$" | grep -q .'
box=$(xdotool search --onlyvisible --name "^Brisel$" | head -n 1)
xdotool windowfocus --sync "$box" && xdotool key --delay 20 Return
set +e
wait "$second"; rc=$?
set -e
[ "$rc" = 1 ] || fail "second program from Explorer: status $rc"
traced "Splash hidden" 2 && ! traced "Config shown" 2 || fail "the second program reached the first's trace"
echo "windows program: all checks passed"

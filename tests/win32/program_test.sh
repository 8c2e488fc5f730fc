#!/usr/bin/env bash
# brisel.exe under Wine on a desktop of its own: usage errors; the dialog at 96 and 192 dpi;
# typing into it and "Run"; the display shown by keys without taking the focus; the trace
# against the simulator's; the Core Audio calls in Wine's log; a second program on a pipe and
# from Explorer. Run under session.sh with BRISEL_WM=openbox:  program_test.sh BRISEL.EXE BRISEL-SIM.EXE
set -euo pipefail
exe=$1 sim=$2
. "$(dirname "$0")/lib.sh"
use_private_prefix "$exe"

step "a usage error is one line and a pointer to --help, on standard error; so is a trace file that cannot be opened"
[ "$(wine_status "$exe" --frobnicate)" = 2 ] && [ ! -s "$work/out" ] && [ "$(cat "$work/err")" = "brisel: unknown option '--frobnicate'
Try 'brisel --help' for more information." ] || fail "unknown option: $(cat "$work/out" "$work/err")"
[ "$(wine_status "$exe" --trace 'Z:\no\such\dir\t.log')" = 2 ] && grep -q 'no\\such\\dir' "$work/err" ||
  fail "bad trace file: $(cat "$work/err")"

step "at 192 dpi (LogPixels) the dialog is 600x600, centred, its outline twice as large; Alt+F4 ends brisel.exe, status 0"
dpi() { wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
dpi 192
wine_run "$exe" >"$work/close.out" 2>&1 &
pid=$!
wait_for 30 x_window Form1 600 600 || fail "no 600x600 dialog: $(cat "$work/close.out")"
dialog=$(x_window Form1 600 600)
[ "$(geometry "$dialog")" = "340 212 600 600" ] || fail "the dialog is at $(geometry "$dialog")"
# A round-rect region leaves out its right and bottom edge.
shape_is() { [ "$(x_shape "$1")" = "$2" ]; }
wait_for 10 shape_is "$dialog" 599x599 || fail "outline: $(x_shape "$dialog")"
focus "$dialog"
xdotool key --delay 20 alt+F4
wait_for 30 eval "! kill -0 $pid"
reap
[ "$rc" = 0 ] || fail "status $rc after the close: $(cat "$work/close.out")"
dpi 96

start_notepad

step "the dialog: 300x300, centred, shaped, no taskbar entry, fading in to 220"
# The trace file is named as Windows names it; the Core Audio calls go to Wine's log.
WINEDEBUG=-all,trace+mmdevapi wine_run "$exe" --trace "Z:${log//\//\\}" >"$work/brisel.out" 2>"$work/wine.log" &
wait_for 30 x_window Form1 300 300
config=$(x_window Form1 300 300)
[ "$(geometry "$config")" = "490 362 300 300" ] || fail "the dialog is at $(geometry "$config")"
shape_is "$config" 299x299 || fail "dialog shape: $(x_shape "$config")"
timeout 5 xprop -id "$config" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "the dialog has a taskbar entry"
opacity_is() { [ "$(x_opacity "$1")" = "$2" ]; }
wait_for 10 opacity_is "$config" $((220 * 0x01010101))
grep -q " Config opacity 0$" "$log" || fail "the dialog did not start transparent"

step "typed into the dialog: volumeup has the focus, Tab goes volumedown, Run, volumemute; a click on Run hands over"
xdotool windowfocus --sync "$config"
replace() { xdotool key --delay 20 End shift+Home BackSpace && xdotool type --delay 20 "$1"; }
replace F7
xdotool key --delay 20 Tab && replace F8
xdotool key --delay 20 Tab Tab && replace F9
xdotool mousemove --window "$config" 224 276 click 1
wait_for 10 traced "Config hidden" 1
wait_for 10 x_unmapped "$config"
grep " Config opacity " "$log" | tail -n 1 | grep -q " 0$" || fail "the dialog did not fade out"

step "volume up (F7) with notepad focused: the display fades in without taking the focus, holds and unmaps"
# The display's X window exists, unmapped, from the hand-over: its opacity is watched from now on.
wait_for 10 x_window_any Form1 209 207
splash=$(x_window_any Form1 209 207)
timeout 60 xprop -spy -id "$splash" _NET_WM_WINDOW_OPACITY >"$work/opacity.log" 2>&1 &
spy=$!
focus "$notepad"
tap F7
wait_for 10 x_viewable "$splash"
wait_for 10 grep -q "= $((220 * 0x01010101))\$" "$work/opacity.log"
kill "$spy"
seen=$(sed -n 's/.* = \([0-9]*\)$/\1/p' "$work/opacity.log" | uniq)
echo "opacity seen:" $seen
[ "$(echo "$seen" | sort -n -c 2>&1)" = "" ] || fail "the display's opacity went down while it faded in: $seen"
[ "$(echo "$seen" | wc -l)" -ge 5 ] || fail "the display's opacity did not step up: $seen"
[ "$(x_shape "$splash")" = 209x204 ] || fail "display shape: $(x_shape "$splash")"
# Not managed at all: no taskbar entry, and the window manager never gives it the focus.
timeout 5 xwininfo -id "$splash" | grep -q "Override Redirect State: yes" || fail "the display is managed"
x_focused "$notepad" || fail "the display took the X focus"
notepad_takes_keys
wait_for 10 traced "Splash hidden" 1
wait_for 5 x_unmapped "$splash"

step "the trace so far is the simulator's for the same choices and press"
# Wine's endpoint answers a full volume, sound on, to the display's read: so does the simulator's.
printf '%s\n' "mixer value 11 65535" "mixer value 12 0" start "wait 300" 'select volumeup "F7"' \
  'select volumedown "F8"' 'select volumemute "F9"' "click Run" "wait 300" "tap 118" "wait 3000" >"$work/first.sim"
wine_run "$sim" "$work/first.sim" >"$work/sim.trace"
# Without the times, and without the mixer's own handle and answers (checked below).
normal() { sed -E 's/^[0-9]+ //; s/^(mixer[SG]etControlDetails) [0-9]+ ([0-9]+ [0-9]+) -> [0-9]+$/\1 H \2 -> R/'; }
diff <(normal <"$work/sim.trace") <(sed -n '1,/ Splash hidden$/p' "$log" | normal) || fail "the traces differ"

step "volume down (F8) twice and mute (F9), each seen before the next"
focus "$notepad"
tap F8
wait_for 10 traced "mixerSetControlDetails 1 11 65500 -> 1" 1
tap F8
wait_for 10 traced "mixerSetControlDetails 1 11 64190 -> 1" 1
tap F9
wait_for 10 traced "mixerSetControlDetails 1 12 1 -> 0" 1
wait_for 10 traced "Splash hidden" 2

step "the mixer calls: the trace, and Wine's log of Core Audio"
# From Wine's full volume (level 79), sound on: F7 to level 80, 101 %, clamped to 65535; F8 to
# 79, 100 % (65500); F8 to 78, 98.5 % to even 98 %; F9 mutes. Each volume write unmutes. Wine 8
# answers E_NOTIMPL to every volume write (-> 1, MMSYSERR_ERROR); mute writes succeed.
[ "$(sed -n 's/^[0-9]* \(mixer.*\)$/\1/p' "$log")" = "mixerOpen 0 -> 0
mixerGetControlDetails 1 11 65535 -> 0
mixerGetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 65535 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 65500 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 11 64190 -> 1
mixerSetControlDetails 1 12 0 -> 0
mixerSetControlDetails 1 12 1 -> 0" ] || fail "mixer trace: $(grep ' mixer' "$log")"
# Every volume call on the endpoint, in order, each after a look-up of the default endpoint
# (a new default is used at once): the same calls, nothing else (no decibels, no channels).
calls=$(sed -n -E 's/.*:trace:mmdevapi:(MMDevEnum_GetDefaultAudioEndpoint|AEV_[GS]et[A-Za-z]*) [^>]*>\(([^,)]*).*/\1 \2/p' "$work/wine.log" |
  sed -E 's/^(AEV_Get[A-Za-z]*|MMDevEnum_GetDefaultAudioEndpoint) .*/\1/; s/^AEV_//; s/^MMDevEnum_GetDefaultAudioEndpoint/+/' | tr '\n' ' ')
echo "Core Audio: $calls"
[ "$calls" = "+ + GetMasterVolumeLevelScalar + GetMute + SetMasterVolumeLevelScalar 1.000000 + SetMute 0 \
+ SetMasterVolumeLevelScalar 0.999466 + SetMute 0 + SetMasterVolumeLevelScalar 0.979477 + SetMute 0 + SetMute 1 " ] ||
  fail "Core Audio calls: $calls"
# Changes made elsewhere are followed: the endpoint's and the default's notifications are asked
# for (Wine 8 only stubs the volume's), and the program's own writes carry one event context.
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
! box_shown || fail "the second program opened a window"
# With no console, file or pipe (standard error on NUL, which Wine tells from a terminal), as
# from Explorer: a message box says it.
wine_run "$exe" </dev/null >/dev/null 2>/dev/null &
pid=$!
wait_for 30 box_shown
close_box
reap
[ "$rc" = 1 ] || fail "second program from Explorer: status $rc"
traced "Splash hidden" 2 && ! traced "Config shown" 2 || fail "the second program reached the first's trace"
echo "windows program: all checks passed"

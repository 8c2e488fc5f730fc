#!/usr/bin/env bash
# The Linux program on a real X server and a real sound server. Run under session.sh:
#   program_test.sh BRISEL BRISEL_SIM XPROBE
set -euo pipefail
brisel=$1 sim=$2 xprobe=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION

step "without an X display: one line on standard error, status 1"
set +e
env -u DISPLAY "$brisel" 2>"$work/err"; rc=$?
set -e
[ "$rc" = 1 ] && [ "$(wc -l <"$work/err")" = 1 ] && grep -q "cannot open the X display" "$work/err" ||
  fail "no display: status $rc, $(cat "$work/err")"
set +e
DISPLAY=:987 "$brisel" 2>"$work/err"; rc=$?
set -e
[ "$rc" = 1 ] && grep -q '":987"' "$work/err" || fail "unreachable display: status $rc, $(cat "$work/err")"

step "the dialog maps centred, shaped, and fades in to 220"
"$xprobe" hold-focus >"$work/holder" &
holder_pid=$!
wait_for 5 test -s "$work/holder"
holder=$(cat "$work/holder")
"$brisel" >"$work/brisel.log" 2>&1 &
brisel_pid=$!
trap 'kill $brisel_pid $holder_pid 2>/dev/null || true' EXIT
wait_for 5 window Config
config=$(window Config)
timeout 5 xwininfo -id "$config" | grep -q "Absolute upper-left X:  490" || fail "dialog not centred horizontally"
timeout 5 xwininfo -id "$config" | grep -q "Absolute upper-left Y:  362" || fail "dialog not centred vertically"
timeout 5 xprop -id "$config" WM_CLASS | grep -q '"Config", "Brisel"' || fail "class hint"
"$xprobe" shape "$config" 300 300 45 45 || fail "dialog outline"
# A compositor runs: the opacity and the outline are in the pixels' alpha, not in the property.
wait_for 5 faded_in Config
opacity_is Config none || fail "the dialog has an opacity property as well as its alpha"
[ "$("$xprobe" alpha "$config" 0 0 299 0 0 299 299 299 | xargs)" = "0 0 0 0" ] || fail "the dialog's corners are not clear"

step "Run hands over: the dialog unmaps"
xdotool mousemove --window "$config" 224 276 click 1
wait_for 5 gone Config
[ "$(sink_volume)" = 0 ] || fail "the volume changed before any key"

step "volume up: the sink gets the level the press leads to; the display maps without the focus"
tap XF86AudioRaiseVolume
wait_for 5 volume_is 2
wait_for 5 window Splash
splash=$(window Splash)
"$xprobe" shape "$splash" 210 205 55 55 || fail "display outline"
# A compositor runs: the opacity and the outline are in the pixels' alpha, not in the property.
wait_for 5 alpha_is "$splash" 105 100 220
[ "$("$xprobe" alpha "$splash" 0 0 208 0 0 204 208 204 | xargs)" = "0 0 0 0" ] || fail "the display's corners are not clear"
opacity_is Splash none || fail "the display has an opacity property as well"
[ "$("$xprobe" focus)" = "$holder" ] || fail "the display took the focus"
for expected in 4 5 6; do
  tap XF86AudioRaiseVolume
  wait_for 5 volume_is $expected
done
tap XF86AudioRaiseVolume
wait_for 5 volume_is 7
[ "$(sink_mute)" = no ] || fail "muted after volume up"

step "the display shows what the simulator shows for the same state"
{
  printf 'start\nwait 300\nclick Run\nwait 300\n'
  for _ in 1 2 3 4 5; do printf 'tap 175\nwait 10\n'; done
  printf 'snapshot Splash %s\n' "$work/expected.bmp"
} >"$work/five.sim"
"$sim" "$work/five.sim" >/dev/null
"$xprobe" screenshot "$(window Splash)" "$work/actual.bmp"
"$xprobe" same-inside "$work/actual.bmp" "$work/expected.bmp" 210 205 55 55 || fail "display differs from the snapshot"

step "after the hold and the fade-out the display unmaps"
wait_for 5 gone Splash

step "mute and unmute: the display loses its waves and its lit squares, as in the simulator"
tap XF86AudioMute
wait_for 5 mute_is yes
wait_for 5 window Splash
sed -i "s|^snapshot .*|tap 173\nwait 110\nsnapshot Splash $work/muted.bmp|" "$work/five.sim"
"$sim" "$work/five.sim" >/dev/null
shows_muted() {
  "$xprobe" screenshot "$(window Splash)" "$work/actual.bmp" &&
    "$xprobe" same-inside "$work/actual.bmp" "$work/muted.bmp" 210 205 55 55
}
wait_for 5 shows_muted
tap XF86AudioMute
wait_for 5 mute_is no

step "without a sound server the keys still work the display, silently"
stop_pulse
tap XF86AudioRaiseVolume
wait_for 5 window Splash
wait_for 5 gone Splash

step "after the sound server restarts, the keys change the volume again"
start_pulse
[ "$(sink_volume)" = 100 ] || fail "a new daemon starts at 100 %"
tap XF86AudioRaiseVolume  # level 6 to 7, 9.75 %
wait_for 5 volume_is 10
tap XF86AudioLowerVolume
wait_for 5 volume_is 8
kill -0 "$brisel_pid" || fail "brisel ended"
[ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }
echo "linux program: all checks passed"

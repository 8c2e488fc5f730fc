#!/usr/bin/env bash
# brisel --key: a press of a hot key from outside, as a desktop's own shortcut sends it. Run under
# session.sh: key_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
log=$work/trace.log
# The display's next fade-out, after the presses of a step.
hides() { grep -c " Splash hidden$" "$log" || true; }
pid=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT

step "--key with no brisel running: status 1, one line; a name that is no hot key: status 2"
[ "$(status "$brisel" --key up)" = 1 ] && one_line "$work/err" "^brisel: not running on this display$" ||
  fail "--key alone: $(cat "$work/err")"
for bad in left quit ""; do
  [ "$(status "$brisel" --key "$bad")" = 2 ] && head -n 1 "$work/err" | grep -q "^brisel: option '--key' takes up|down|mute" ||
    fail "--key '$bad': $(cat "$work/err")"
done

step "before Run nothing watches the keys: --key is delivered and changes nothing"
"$brisel" --up F5 --trace "$log" >"$work/brisel.log" 2>&1 &
pid=$!
wait_for 5 "$xprobe" find Config
[ "$(status "$brisel" --key up)" = 0 ] || fail "--key before Run: $(cat "$work/err")"
wait_for 5 traced "Config opacity 220" 1
xdotool mousemove --window "$("$xprobe" find Config)" 224 276 click 1
wait_for 5 traced "Splash load" 1
wait_for 5 gone Config
[ "$(volume_writes)" = 0 ] && [ "$(sink_volume)" = 0 ] || fail "a press before Run stepped the volume"

step "three taps of the key and three --key up step alike, and each shows the display"
# The sink gets the percent of the level each press leads to: 1 + 1.25 x press, a half to even.
h=$(hides)
for expected in 2 4 5; do
  tap F5
  wait_for 5 volume_is $expected
done
wait_for 5 "$xprobe" find Splash
hidden_again "$h"
h=$(hides)
for expected in 6 7 8; do
  start=$(date +%s%N)
  [ "$(status "$brisel" --key up)" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] ||
    fail "--key up: $(cat "$work/out" "$work/err")"
  echo "brisel --key up took $(( ($(date +%s%N) - start) / 1000000 )) ms"
  wait_for 5 volume_is $expected
done
wait_for 5 "$xprobe" find Splash
[ "$(volume_writes)" = 6 ] || fail "$(volume_writes) volume writes for 6 presses"
hidden_again "$h"

step "--key down steps down, --key mute mutes 100 ms after its press and unmutes again"
h=$(hides)
"$brisel" --key down
wait_for 5 volume_is 7
hidden_again "$h"
mark=$(wc -l <"$log")
"$brisel" --key mute
wait_for 5 mute_is yes
# The press's tick starts the fade-in, which shows the display one tick later; the mute timer
# writes 100 ms after that press.
shown=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "Splash" && $3 == "shown" {print $1; exit}')
muted=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "mixerSetControlDetails" && $4 == 12 && $5 == 1 {print $1; exit}')
echo "shown at $shown ms, muted at $muted ms"
[ $((muted - shown)) -ge 80 ] && [ $((muted - shown)) -le 150 ] || fail "muted $((muted - shown)) ms after the display showed"
"$brisel" --key mute
wait_for 5 mute_is no
[ "$(sink_volume)" = 7 ] || fail "unmuting changed the volume"
wait_for 5 gone Splash

# burst N PERCENT: N `--key up` at once, as a desktop's key repeat runs them; the sink ends at
# PERCENT, the display goes again, and each command made one volume write.
burst() {
  local before h pids=()
  before=$(volume_writes) h=$(hides)
  for _ in $(seq "$1"); do "$brisel" --key up & pids+=($!); done
  for p in "${pids[@]}"; do wait "$p" || fail "a --key up of the burst failed"; done
  wait_for 10 volume_is "$2"
  hidden_again "$h"
  [ $(( $(volume_writes) - before )) = "$1" ] || fail "$(( $(volume_writes) - before )) volume writes for $1 presses"
}

step "a burst of 50 --key up: 50 steps, none lost, none added"
# From level 5: the 50th press leads to level 55, 1 + 1.25 x 55 = 69.75, which rounds to 70.
burst 50 70

step "and at the top the level stays: 30 more reach 80 and stop there"
# Level 55 + 25 presses is the top; the full bar is shown for that press and the 5 after it.
burst 30 100
[ "$(grep -c " Splash Image2 Image17$" "$log")" = 6 ] || fail "the full bar shown $(grep -c " Image17$" "$log") times"

kill -0 "$pid" || fail "brisel ended"
[ "$(status "$brisel" --quit)" = 0 ] || fail "--quit: $(cat "$work/err")"
reap
[ "$rc" = 0 ] || fail "status $rc after --quit: $(cat "$work/brisel.log")"
[ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }

step "Run in a Wayland session: one line on how to bind the keys; then a flood of 300 --key up"
# At most 80 presses of a key wait: from level 0 they reach the top, more could not move it. The
# flood is sent while brisel is held up, so that all of it waits. The 80th write reaches 100 %:
# with at most 81 in all, the writes end with it or a tick later.
pactl set-sink-volume @DEFAULT_SINK@ 0%
log=$work/flood.log
WAYLAND_DISPLAY=wayland-brisel-test "$brisel" --run --up F5 --trace "$log" >"$work/hint.out" 2>"$work/hint" &
pid=$!
wait_for 5 test -s "$work/hint"
one_line "$work/hint" "brisel --key up" || fail "the hint: $(cat "$work/hint")"
cat "$work/hint"
kill -STOP "$pid"
pids=()
for _ in $(seq 300); do "$brisel" --key up & pids+=($!); done
for p in "${pids[@]}"; do wait "$p" || fail "a --key up of the flood failed"; done
last=$(date +%s%N)
kill -CONT "$pid"
wait_for 3 volume_is 100
echo "300 presses: 100 % $(( ($(date +%s%N) - last) / 1000000 )) ms after the last --key up ended"
hidden_again 0
echo "300 presses: $(volume_writes) volume writes in all"
[ "$(volume_writes)" -le 81 ] || fail "$(volume_writes) volume writes for the flood"
[ "$(status "$brisel" --quit)" = 0 ] || fail "--quit: $(cat "$work/err")"
reap
[ "$rc" = 0 ] && [ "$(wc -l <"$work/hint")" = 1 ] && [ ! -s "$work/hint.out" ] ||
  fail "status $rc after --quit, more than the hint: $(cat "$work/hint.out" "$work/hint")"
echo "key: all checks passed"

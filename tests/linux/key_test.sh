#!/usr/bin/env bash
# brisel --key: a press of a hot key from outside, as a desktop's own shortcut sends it: ignored
# before Run, then stepping as a key does; bursts and floods lose and add nothing.
# Run under session.sh:  key_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
log=$work/trace.log
hides() { count " Splash hidden$"; }
key() { [ "$(status "$brisel" --key "$1")" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "--key $1: $(cat "$work/err")"; }
# presses N ACTION: N --key ACTION at once, as a desktop's key repeat runs them: one volume write
# each, and the display goes again.
presses() {
  local before h p pids=()
  before=$(volume_writes) h=$(hides)
  for _ in $(seq "$1"); do key "$2" & pids+=($!); done
  for p in "${pids[@]}"; do wait "$p" || fail "a --key $2 failed"; done
  hidden_again "$h"
  [ $(( $(volume_writes) - before )) = "$1" ] || fail "$(( $(volume_writes) - before )) volume writes for $1 presses"
}

step "before Run nothing watches the keys: --key is delivered and changes nothing"
brisel_up --up F5 --trace "$log"
wait_for 5 window Config
key up
hand_over
wait_for 5 traced "Splash load" 1
[ "$(volume_writes)" = 0 ] && [ "$(sink_volume)" = 0 ] || fail "a press before Run stepped the volume"

step "three taps of the key and three --key up step alike: 1 + 1.25 x level, a half to even"
h=$(hides)
for expected in 2 4 5; do
  tap F5
  wait_for 5 volume_is $expected
done
hidden_again "$h"
h=$(hides)
for expected in 6 7 8; do
  start=$(date +%s%N)
  key up
  echo "brisel --key up took $(( ($(date +%s%N) - start) / 1000000 )) ms"
  wait_for 5 volume_is $expected
done
[ "$(volume_writes)" = 6 ] || fail "$(volume_writes) volume writes for 6 presses"
hidden_again "$h"

step "--key down steps down, --key mute mutes 100 ms after its press and unmutes again"
presses 1 down
wait_for 5 volume_is 7
mark=$(wc -l <"$log")
key mute
wait_for 5 mute_is yes
# The press's tick starts the fade-in, which shows the display one tick later; the mute timer
# writes 100 ms after that press.
shown=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "Splash" && $3 == "shown" {print $1; exit}')
muted=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "mixerSetControlDetails" && $4 == 12 && $5 == 1 {print $1; exit}')
echo "shown at $shown ms, muted at $muted ms"
[ $((muted - shown)) -ge 80 ] && [ $((muted - shown)) -le 150 ] || fail "muted $((muted - shown)) ms after the display showed"
key mute
wait_for 5 mute_is no
[ "$(sink_volume)" = 7 ] || fail "unmuting changed the volume"
wait_for 5 gone Splash

step "a burst of 50 --key up: 50 steps, none lost, none added"
presses 50 up
wait_for 5 volume_is 70  # level 5 + 50: 1 + 1.25 x 55 = 69.75
step "and at the top the level stays: 30 more reach 80 and stop there"
presses 30 up
wait_for 5 volume_is 100
# Level 55 + 25 presses is the top; the full bar is shown for that press and the 5 after it.
[ "$(count " Splash Image2 Image17$")" = 6 ] || fail "the full bar shown $(count " Image17$") times"
brisel_quits

step "Run in a Wayland session: one line on how to bind the keys; then a flood of 300 --key up"
# At most 80 presses of a key wait: from level 0 they reach the top, more could not move it. The
# flood is sent while brisel is held up, so that all of it waits. The 80th write reaches 100 %:
# with at most 81 in all, the writes end with it or a tick later.
from_silence
log=$work/flood.log
WAYLAND_DISPLAY=wayland-brisel-test brisel_up --run --up F5 --trace "$log"
wait_for 5 line_ended "$work/brisel.log"
one_line "$work/brisel.log" "brisel --key up" || fail "the hint: $(cat "$work/brisel.log")"
cat "$work/brisel.log"
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
[ "$(status "$brisel" --quit)" = 0 ] && reap && [ "$rc" = 0 ] && one_line "$work/brisel.log" "brisel --key up" ||
  fail "status $rc after --quit, or more than the hint: $(cat "$work/brisel.log")"
echo "key: all checks passed"

#!/usr/bin/env bash
# The hot keys over a long run, in a Wayland session's environment: brisel --key (a desktop's
# shortcut) ignored before Run, then stepping as a key does; bursts and floods that lose and add
# nothing; what the program costs at rest and while the user types elsewhere. Run under session.sh.
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
log=$work/trace.log
hides() { count " Splash hidden$"; }
key() { [ "$(status "$brisel" --key "$1")" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "--key $1: $(cat "$work/err")"; }
# presses N [MOST]: N --key up at once, as a desktop's key repeat runs them: once the display has
# gone again, one volume write each, or at most MOST with brisel held up while they come.
presses() {
  local before h p n pids=()
  before=$(volume_writes) h=$(hides)
  [ -z "${2:-}" ] || kill -STOP "$pid"
  for _ in $(seq "$1"); do "$brisel" --key up & pids+=($!); done
  for p in "${pids[@]}"; do wait "$p" || fail "a --key up failed"; done
  kill -CONT "$pid"
  hidden_again "$h"
  n=$(( $(volume_writes) - before ))
  echo "$1 presses: $n volume writes"
  if [ -n "${2:-}" ]; then [ "$n" -le "$2" ]; else [ "$n" = "$1" ]; fi || fail "$n volume writes for $1 presses"
}
switches() { awk '/^voluntary_ctxt_switches/{print $2}' "/proc/$pid/status"; }
# woke BEFORE MOST WHILE: fewer than MOST voluntary context switches since the count BEFORE
woke() { local n=$(( $(switches) - $1 )); echo "voluntary context switches in 30 s $3: $n"; [ "$n" -lt "$2" ] || fail "$n wake-ups in 30 s $3"; }

step "Run in a Wayland session says one line on how to bind the keys; --key before it changes nothing"
WAYLAND_DISPLAY=wayland-brisel-test brisel_up --up F5 --trace "$log"
wait_for 5 window Config
key up
hand_over
wait_for 5 line_ended "$work/brisel.log"
one_line "$work/brisel.log" "brisel --key up" || fail "the hint: $(cat "$work/brisel.log")"
[ "$(volume_writes)" = 0 ] && [ "$(sink_volume)" = 0 ] || fail "a press before Run stepped the volume"

step "three taps of the key and three --key up step alike: 1 + 1.25 x level, a half to even"
h=$(hides)
for expected in 2 4 5; do press F5 volume_is $expected; done
hidden_again "$h"
h=$(hides)
for expected in 6 7 8; do
  start=$(date +%s%N)
  key up
  echo "brisel --key up took $(( ($(date +%s%N) - start) / 1000000 )) ms"
  wait_for 5 volume_is $expected
done
hidden_again "$h"
[ "$(volume_writes)" = 6 ] || fail "$(volume_writes) volume writes for 6 presses"

step "--key down steps down, --key mute mutes 100 ms after its press and unmutes again"
key down
wait_for 5 volume_is 7
hidden_again "$(hides)"
mark=$(wc -l <"$log")
key mute
wait_for 5 mute_is yes
# The press's tick starts the fade-in, shown a tick later; the mute timer writes 100 ms after the press.
shown=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "Splash" && $3 == "shown" {print $1; exit}')
muted=$(tail -n +"$((mark + 1))" "$log" | awk '$2 == "mixerSetControlDetails" && $4 == 12 && $5 == 1 {print $1; exit}')
echo "shown at $shown ms, muted at $muted ms"
[ $((muted - shown)) -ge 80 ] && [ $((muted - shown)) -le 150 ] || fail "muted $((muted - shown)) ms after the display showed"
key mute
wait_for 5 mute_is no
[ "$(sink_volume)" = 7 ] || fail "unmuting changed the volume"
wait_for 5 gone Splash

step "a burst of 50 --key up: 50 steps, none lost, none added; 30 more reach the top and stay"
presses 50
wait_for 5 volume_is 70  # level 5 + 50: 1 + 1.25 x 55 = 69.75
presses 30
wait_for 5 volume_is 100
# Level 55 + 25 presses is the top; the full bar is shown for that press and the 5 after it.
[ "$(count " Splash Image2 Image17$")" = 6 ] || fail "the full bar shown $(count " Image17$") times"

# One resident key sender, cheaper than one per key. The sleeps are the spans measured, not waits.
mkfifo "$work/keys"
"$xprobe" keys <"$work/keys" &
helpers=($!)
exec 4>"$work/keys"
step "30 s without a key: the program sleeps"
before=$(switches)
sleep 30
woke "$before" 60 "without keys"

step "30 s of typing elsewhere, a key every 100 ms: each costs a read, never the 10 ms ticks"
before=$(switches) writes=$(count mixerSetControlDetails)
for _ in $(seq 300); do echo "tap a" >&4; sleep 0.1; done
woke "$before" 400 "of unrelated typing"
[ "$(count mixerSetControlDetails)" = "$writes" ] || fail "an unrelated key changed the volume"

step "50 short taps, 20 to 60 ms apart: 50 steps (at the top, each writes)"
writes=$(volume_writes) h=$(hides)
for _ in $(seq 50); do
  echo "tap F5" >&4
  sleep "0.0$((RANDOM % 5 + 2))"
done
hidden_again "$h"
[ "$(volume_writes)" = $((writes + 50)) ] || fail "$(( $(volume_writes) - writes )) volume writes for 50 taps"

step "a held volume key steps every 10 ms"
mark=$(wc -l <"$log") h=$(hides)
echo "down XF86AudioLowerVolume" >&4
sleep 0.5
echo "up XF86AudioLowerVolume" >&4
hidden_again "$h"
check_held_key "$mark"

step "a flood of 300 --key up while brisel is held up: at most 80 presses wait, enough to reach the top"
presses 300 84  # 80 wait; on a busy machine a few ticks may step while the queue is read
[ "$(sink_volume)" = 100 ] || fail "the flood did not reach the top"
[ "$(status "$brisel" --quit)" = 0 ] && reap && [ "$rc" = 0 ] && one_line "$work/brisel.log" "brisel --key up" ||
  fail "status $rc after --quit, or more than the hint: $(cat "$work/brisel.log")"
echo "keys: all checks passed"

#!/usr/bin/env bash
# What the running program costs: nothing while nobody presses a hot key, little while the user
# types elsewhere, and the keys as before. Run under session.sh: idle_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
switches() { awk '/^voluntary_ctxt_switches/{print $2}' "/proc/$pid/status"; }

log=$work/trace.log
brisel_up --trace "$log"
# One resident key sender: a fresh one per key would cost more than what is measured.
mkfifo "$work/keys"
"$xprobe" keys <"$work/keys" &
keys_pid=$!
exec 4>"$work/keys"
trap 'exec 4>&-; kill $pid $keys_pid 2>/dev/null || true' EXIT
hand_over
wait_for 5 traced "Splash load" 1

# The sleeps below are the measured spans and the pace of the keys, not waits for an event.
step "30 s without a key: the program sleeps"
before=$(switches)
sleep 30
idle=$(( $(switches) - before ))
echo "voluntary context switches in 30 s idle: $idle"
[ "$idle" -lt 60 ] || fail "$idle wake-ups in 30 s without keys"

step "30 s of typing elsewhere, a key every 100 ms: each costs a read, never the 10 ms ticks"
before=$(switches)
for _ in $(seq 300); do echo "tap a" >&4; sleep 0.1; done
typing=$(( $(switches) - before ))
echo "voluntary context switches in 30 s of unrelated typing: $typing"
[ "$typing" -lt 400 ] || fail "$typing wake-ups in 30 s of unrelated keys"
[ "$(count mixerSetControlDetails)" = 0 ] || fail "an unrelated key changed the volume"

step "50 short taps, 20 to 60 ms apart: 50 steps"
for _ in $(seq 50); do
  echo "tap XF86AudioRaiseVolume" >&4
  sleep "0.0$((RANDOM % 5 + 2))"
done
wait_for 10 volume_is 64   # the level the 50th press leads to: 1 + 1.25 x 50 = 63.5, a half to even
wait_for 5 traced "Splash hidden" 1

step "a held volume key steps every 10 ms"
mark=$(wc -l <"$log")
echo "down XF86AudioLowerVolume" >&4
sleep 0.5
echo "up XF86AudioLowerVolume" >&4
wait_for 5 traced "Splash hidden" 2
check_held_key "$mark"
brisel_quits
echo "idle: all checks passed"

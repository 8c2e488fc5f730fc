#!/usr/bin/env bash
# brisel.exe idle under Wine, with a Wine notepad focused: its threads hardly wake without a key,
# and the keys work as before: taps step once each, a held key steps every 10 ms.
# Run under session.sh:  idle_test.sh BRISEL.EXE
set -euo pipefail
exe=$1
. "$(dirname "$0")/lib.sh"
use_private_prefix "$exe"
# idle_wakeups SECONDS: the voluntary context switches of brisel.exe's busiest thread over that
# time (a Wine program is a Linux process, each Windows thread a Linux thread).
thread_switches() { awk '/^voluntary_ctxt_switches/ {print FILENAME, $2}' /proc/"$pid"/task/*/status 2>/dev/null; }
idle_wakeups() {
  thread_switches >"$work/before"
  sleep "$1"
  thread_switches >"$work/after"
  join <(sort "$work/before") <(sort "$work/after") | awk '{d = $3 - $2; if (d > m) m = d} END {print m + 0}'
}

start_notepad
# Started without a shell function between: wine-run.sh becomes Wine, which becomes brisel.exe.
"$BRISEL_WINE_RUN" "$exe" --run --up F7 --down F8 --mute F9 --trace "Z:${log//\//\\}" >"$work/brisel.out" 2>&1 &
pid=$!
wait_for 30 traced "Splash load" 1
focus "$notepad"
notepad_takes_keys
wait_for 5 x_focused "$notepad" || fail "notepad lost the focus"

# The polling program makes 1,500 and more in 10 s (bench/windows_bench.sh measures 30 s).
step "10 s without a key: no thread of brisel.exe wakes more than 10 times"
[ "$(cat /proc/$pid/comm)" = brisel.exe ] || fail "process $pid is $(cat /proc/$pid/comm), not brisel.exe"
idle=$(idle_wakeups 10)
echo "voluntary context switches of the busiest thread in 10 s idle: $idle"
[ "$idle" -le 10 ] || fail "$idle wake-ups in 10 s without keys"

step "50 short taps, 20 to 60 ms apart: 50 steps"
for _ in $(seq 50); do
  tap F7
  sleep "0.0$((RANDOM % 5 + 2))"
done
wait_for 10 eval '[ "$(volume_writes)" -ge 50 ]'
wait_for 10 traced "Splash hidden" 1
[ "$(volume_writes)" = 50 ] || fail "$(volume_writes) steps for 50 taps"

step "a held key steps every 10 ms"
mark=$(wc -l <"$log")
xdotool keydown F8
sleep 0.5
xdotool keyup F8
wait_for 10 traced "Splash hidden" 2
check_held_key "$mark"

step "and idle again after the keys"
sleep 1
idle=$(idle_wakeups 5)
echo "voluntary context switches of the busiest thread in 5 s idle after the keys: $idle"
[ "$idle" -le 5 ] || fail "$idle wake-ups in 5 s after the keys"
kill -0 "$pid" || fail "brisel.exe ended"
echo "windows idle: all checks passed"

#!/usr/bin/env bash
# Figures for the running Linux program under Xvfb, a compositing manager and PulseAudio: time
# to the dialog's first map; with the sound-server mixer, memory after hand-over, one press
# from rest (the measured fade and hold times), then idle CPU and each thread's wake-ups; then,
# for the sound-server mixer and for the ALSA mixer it replaced (BRISEL_MIXER=alsa), key-to-output
# latency over 20 presses and memory after use. It prints; it passes or fails nothing.
#   bench/linux_bench.sh [BUILD_DIR]   (default: build; IDLE_SECONDS=60)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
if [ -z "${BRISEL_SESSION:-}" ]; then exec tests/linux/session.sh "$0" "$build"; fi
. tests/linux/lib.sh
probe=$build/bench/bench_probe
xprobe=$build/tests/xprobe
idle=${IDLE_SECONDS:-60}

echo "== start to the dialog's first map"
for _ in 1 2 3; do
  line=$("$probe" startup "$build/brisel")
  echo "$line" | sed 's/ pid.*//'
  pid=${line##* }
  wait_for 5 "$xprobe" find Config
  kill "$pid"; wait_for 5 bash -c "! kill -0 $pid"
done

pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
opaque() { [ "$("$xprobe" opacity "$("$xprobe" find Config)")" = $((0xDCDCDCDC)) ]; }
# Starts the program with the environment given as arguments and hands over with "Run".
start_brisel() {
  env "$@" "$build/brisel" >/dev/null 2>&1 &
  pid=$!
  wait_for 5 opaque Config
  xdotool mousemove --window "$("$xprobe" find Config)" 224 276 click 1
  wait_for 5 bash -c "! $xprobe find Config"
}
stop_brisel() { kill "$pid"; wait_for 5 bash -c "! kill -0 $pid"; pid=""; }
memory() { awk '/^Rss:|^Pss:/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/smaps_rollup"; }
# Each thread's name and its context switches so far (each one a wake-up).
switches() {
  for task in /proc/"$pid"/task/*; do
    printf '%s %s\n' "$(cat "$task/comm")" "$(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")"
  done
}

echo "== sound-server mixer: memory after hand-over"
start_brisel
memory

echo "== sound-server mixer: one press from rest"
"$probe" cycle XF86AudioRaiseVolume

echo "== sound-server mixer: idle for ${idle} s after that press, no key pressed"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks) start=$(date +%s%N)
switches >"$BRISEL_SESSION/switches0"
sleep "$idle"  # a measuring window, not a wait for an event
t1=$(ticks) end=$(date +%s%N)
switches >"$BRISEL_SESSION/switches1"
awk -v t=$((t1 - t0)) -v hz="$hz" -v ns=$((end - start)) \
  'BEGIN {printf "CPU %.2f %% of one core\n", 100 * t / hz / (ns / 1e9)}'
paste -d ' ' "$BRISEL_SESSION/switches0" "$BRISEL_SESSION/switches1" |
  awk -v ns=$((end - start)) '{printf "thread %s: %.1f wake-ups per second\n", $1, ($4 - $2) / (ns / 1e9)}'
stop_brisel

for mixer in server alsa; do
  pactl set-sink-volume @DEFAULT_SINK@ 100%
  if [ "$mixer" = server ]; then label="sound-server mixer"; start_brisel; else
    label="ALSA mixer (BRISEL_MIXER=alsa)"; start_brisel BRISEL_MIXER=alsa
  fi
  echo "== $label: key to output"
  "$probe" latency XF86AudioRaiseVolume 20
  echo "== $label: memory after use"
  memory
  stop_brisel
done

#!/usr/bin/env bash
# Figures for the running Linux program under Xvfb, a compositing manager and PulseAudio:
# memory after hand-over, idle CPU and wake-ups, time to the dialog's first map, key-to-mixer
# latency, and the measured fade and hold times. It prints; it passes or fails nothing.
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

"$build/brisel" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
opaque() { [ "$("$xprobe" opacity "$("$xprobe" find Config)")" = $((0xDCDCDCDC)) ]; }
wait_for 5 opaque Config
xdotool mousemove --window "$("$xprobe" find Config)" 224 276 click 1
wait_for 5 bash -c "! $xprobe find Config"

echo "== memory after hand-over"
awk '/^Rss:|^Pss:/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/smaps_rollup"

echo "== idle for ${idle} s, no key pressed"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
switches() { awk '/voluntary_ctxt_switches/ {s += $2} END {print s}' "/proc/$pid/status"; }
hz=$(getconf CLK_TCK)
t0=$(ticks) s0=$(switches) start=$(date +%s%N)
sleep "$idle"  # a measuring window, not a wait for an event
t1=$(ticks) s1=$(switches) end=$(date +%s%N)
awk -v t=$((t1 - t0)) -v hz="$hz" -v s=$((s1 - s0)) -v ns=$((end - start)) \
  'BEGIN {secs = ns / 1e9; printf "CPU %.2f %% of one core, %.0f wake-ups per second\n", 100 * t / hz / secs, s / secs}'

echo "== one press from rest"
"$probe" cycle XF86AudioRaiseVolume
echo "== key to mixer"
"$probe" latency XF86AudioRaiseVolume 60
echo "== memory at the end"
awk '/^Rss:|^Pss:/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/smaps_rollup"

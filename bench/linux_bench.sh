#!/usr/bin/env bash
# Figures for the running Linux program under Xvfb, a compositing manager and PulseAudio: time
# to the dialog's first map; memory after hand-over and one press from rest (the measured fade
# and hold times); then, for the program as it is (the key timer sleeps while no hot key is
# down) and for a 10 ms polling reference (BRISEL_KEYS=poll), idle CPU of the program and of
# the X server, each thread's wake-ups, key-to-output latency over 20 jittered presses, taps
# seen out of 50 and memory after use; last, key-to-output latency and memory for the
# sound-server mixer against the ALSA mixer it replaced (BRISEL_MIXER=alsa) and, with BASELINE,
# against another build's program, in interleaved rounds; the wake-ups that another program's
# playback causes; and the CPU time of a fade with the opacity in the pixels' alpha against the
# opacity property (BRISEL_OPACITY). It prints; it passes or fails nothing.
#   bench/linux_bench.sh [BUILD_DIR]   (default: build; IDLE_SECONDS=60; BASELINE=PROGRAM)
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
  kill "$pid"; wait_for 5 bash -c "! kill -0 $pid" && wait_for 5 eval '! instance_up'
done

pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
# Starts the program with the environment given as arguments and hands over with "Run".
start_brisel() {
  local vars=() args=()
  for a in "$@"; do case $a in --*) args+=("${a%%=*}" "${a#*=}") ;; *) vars+=("$a") ;; esac; done
  env "${vars[@]}" "${program:-$build/brisel}" "${args[@]}" >/dev/null 2>&1 &
  pid=$!
  wait_for 5 faded_in Config
  xdotool mousemove --window "$("$xprobe" find Config)" 224 276 click 1
  wait_for 5 bash -c "! $xprobe find Config"
}
# The next one starts once the X server has let this one's instance go.
stop_brisel() { kill "$pid"; wait_for 5 bash -c "! kill -0 $pid" && wait_for 5 eval '! instance_up'; pid=""; }
memory() { awk '/^Rss:|^Pss:/ {printf "%s %.1f MB\n", $1, $2 / 1024}' "/proc/$pid/smaps_rollup"; }
# Each thread's name and its context switches so far (each one a wake-up).
switches() {
  for task in /proc/"$pid"/task/*; do
    printf '%s %s\n' "$(cat "$task/comm")" "$(awk '/ctxt_switches/ {s += $2} END {print s}' "$task/status")"
  done
}

echo "== memory after hand-over"
start_brisel
memory

echo "== one press from rest"
"$probe" cycle XF86AudioRaiseVolume
stop_brisel

xserver=$(cat "$BRISEL_SESSION/xvfb.pid")
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
trace=$BRISEL_SESSION/bench.trace
for keys in sleeping poll; do
  label="key timer $keys"
  [ "$keys" = poll ] && label="reference: key timer polling every 10 ms (BRISEL_KEYS=poll)"
  rm -f "$trace"
  pactl set-sink-volume @DEFAULT_SINK@ 0%  # every press from here on raises it
  start_brisel BRISEL_KEYS="$keys" "--trace=$trace"
  echo "== $label: idle for ${idle} s, no key pressed"
  b0=$(ticks "$pid") x0=$(ticks "$xserver") start=$(date +%s%N)
  switches >"$BRISEL_SESSION/switches0"
  sleep "$idle"  # a measuring window, not a wait for an event
  b1=$(ticks "$pid") x1=$(ticks "$xserver") end=$(date +%s%N)
  switches >"$BRISEL_SESSION/switches1"
  awk -v b=$((b1 - b0)) -v x=$((x1 - x0)) -v hz="$hz" -v ns=$((end - start)) \
    'BEGIN {printf "CPU %.3f %% (X server %.3f %%) of one core\n", 100 * b / hz / (ns / 1e9), 100 * x / hz / (ns / 1e9)}'
  paste -d ' ' "$BRISEL_SESSION/switches0" "$BRISEL_SESSION/switches1" |
    awk -v ns=$((end - start)) '{printf "thread %s: %.2f wake-ups per second\n", $1, ($4 - $2) / (ns / 1e9)}'
  echo "== $label: key to output"
  "$probe" latency XF86AudioRaiseVolume 20
  echo "== $label: 50 short taps, 15 to 40 ms apart"
  steps() { grep -c "mixerSetControlDetails [0-9]* 11 " "$trace" || true; }
  before=$(steps)
  "$probe" taps XF86AudioLowerVolume 50
  settled() { local n; n=$(steps); sleep 0.2; [ "$n" = "$(steps)" ]; }
  wait_for 5 settled || true
  echo "taps seen: $(( $(steps) - before )) of 50"
  echo "== $label: memory after use"
  memory
  stop_brisel
done

# A fade costs the program's drawing, the X server's and the compositor's: the CPU time of all
# three over a few presses from rest, with the opacity in the pixels' alpha (a 32-bit window, as
# on every composited desktop) and in the opacity property (BRISEL_OPACITY=property, as before).
# Rounds of each, taken in turn, so that a busy moment of the machine weighs on both alike; the
# time each process ran comes from the scheduler, to the nanosecond.
compositor=$(cat "$BRISEL_SESSION/xcompmgr.pid")
# (A thread that ends meanwhile takes its time with it: none of the three ends threads then.)
cpu_ns() { { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{s += $1} END {printf "%.0f\n", s}'; }
fades=10 rounds=3
: >"$BRISEL_SESSION/fades"
for round in $(seq "$rounds"); do
  for opacity in alpha property; do
    pactl set-sink-volume @DEFAULT_SINK@ 0%  # every press from here on raises it
    rm -f "$trace"
    start_brisel BRISEL_OPACITY="$opacity" "--trace=$trace"
    b0=$(cpu_ns "$pid") x0=$(cpu_ns "$xserver") c0=$(cpu_ns "$compositor")
    # Each press waits for the display to hide, watched in the trace file: nothing else asks the
    # X server meanwhile.
    for n in $(seq "$fades"); do
      "$xprobe" tap XF86AudioRaiseVolume
      log=$trace wait_for 5 traced "Splash hidden" "$n"
    done
    b1=$(cpu_ns "$pid") x1=$(cpu_ns "$xserver") c1=$(cpu_ns "$compositor")
    awk -v b=$((b1 - b0)) -v x=$((x1 - x0)) -v c=$((c1 - c0)) -v n="$fades" -v o="$opacity" -v r="$round" \
      'BEGIN {printf "== a fade, opacity in the %s (round %d): CPU %.1f ms (program %.1f, X server %.1f, compositor %.1f) per press\n", o, r, (b + x + c) / 1e6 / n, b / 1e6 / n, x / 1e6 / n, c / 1e6 / n}' |
      tee -a "$BRISEL_SESSION/fades"
    stop_brisel
  done
done
for opacity in alpha property; do
  grep "in the $opacity " "$BRISEL_SESSION/fades" | sed 's/.*CPU \([0-9.]*\) ms.*X server \([0-9.]*\),.*/\1 \2/' >"$BRISEL_SESSION/rounds"
  middle=$(( (rounds + 1) / 2 ))
  total=$(cut -d ' ' -f 1 "$BRISEL_SESSION/rounds" | sort -n | sed -n "${middle}p")
  server=$(cut -d ' ' -f 2 "$BRISEL_SESSION/rounds" | sort -n | sed -n "${middle}p")
  echo "== a fade, opacity in the $opacity: the rounds' median: CPU $total ms (X server $server) per press"
done

# The sound server's events: playback that starts and stops changes the output's state (not its
# volume), which wakes the thread that follows the output, never the program's own.
pactl set-sink-volume @DEFAULT_SINK@ 0%
start_brisel
plays=5
switches >"$BRISEL_SESSION/switches0"
for _ in $(seq "$plays"); do
  # Half a second of silence played, then the stream closed; the server suspends the idle
  # output again after a while (module-suspend-on-idle), which is one more state change.
  timeout 0.5 pacat --playback /dev/zero 2>/dev/null || true
done
switches >"$BRISEL_SESSION/switches1"
echo "== $plays playbacks started and stopped by another program"
paste -d ' ' "$BRISEL_SESSION/switches0" "$BRISEL_SESSION/switches1" |
  awk -v n="$plays" '{printf "thread %s: %.1f wake-ups per playback\n", $1, ($4 - $2) / n}'
stop_brisel

# Key to output with the sound-server mixer, against the ALSA mixer and, where BASELINE names
# another build's program (BASELINE=../before/build/brisel), against that one, in rounds taken in
# turn so that a busy moment of the machine weighs on each alike.
mixers="server alsa"
[ -n "${BASELINE:-}" ] && mixers="server baseline alsa"
rounds=3
: >"$BRISEL_SESSION/latency"
for round in $(seq "$rounds"); do
  for mixer in $mixers; do
    pactl set-sink-volume @DEFAULT_SINK@ 0%
    case $mixer in
      server) label="sound-server mixer"; start_brisel ;;
      baseline) label="sound-server mixer, $BASELINE"; program=$BASELINE start_brisel ;;
      alsa) label="ALSA mixer (BRISEL_MIXER=alsa)"; start_brisel BRISEL_MIXER=alsa ;;
    esac
    echo "== $label, round $round: key to output"
    "$probe" latency XF86AudioRaiseVolume 20 | tee "$BRISEL_SESSION/latest"
    sed "s/^/$mixer /" "$BRISEL_SESSION/latest" >>"$BRISEL_SESSION/latency"
    if [ "$round" = "$rounds" ]; then echo "== $label: memory after use"; memory; fi
    stop_brisel
  done
done
for mixer in $mixers; do
  medians=$(grep "^$mixer key to mixer" "$BRISEL_SESSION/latency" | sed 's/.*median \([0-9.]*\) ms.*/\1/' | sort -n | xargs)
  echo "== $mixer: key to output, the rounds' medians: $medians ms"
done

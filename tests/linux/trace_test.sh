#!/usr/bin/env bash
# The command line, and --trace: the real program's trace for a few presses is the simulator's
# for the same presses; a trace whose writes fail (a FIFO whose reader goes, a full disk) stops
# with one line, and the program goes on. Run under session.sh: trace_test.sh BRISEL BRISEL_SIM XPROBE
set -euo pipefail
brisel=$1 sim=$2 xprobe=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION

step "--help and --version need no display; anything else is a usage error"
[ "$(env -u DISPLAY "$brisel" --help >"$work/out" 2>&1; echo $?)" = 0 ] && grep -q -- "--trace FILE .*FIFO" "$work/out" ||
  fail "--help: $(cat "$work/out")"
[ "$(env -u DISPLAY "$brisel" --version)" = "brisel 0.1" ] || fail "--version"
[ "$(status "$brisel" --frobnicate)" = 2 ] || fail "unknown option: not status 2"
[ ! -s "$work/out" ] && [ "$(cat "$work/err")" = "brisel: unknown option '--frobnicate'
Try 'brisel --help' for more information." ] || fail "unknown option: $(cat "$work/out" "$work/err")"
[ "$(status "$brisel" --trace)" = 2 ] || fail "--trace without FILE"
# A trace file that cannot be opened: said before anything else is tried (no display here).
[ "$(status env -u DISPLAY "$brisel" --trace "$work/no/such/dir/t.log")" = 2 ] &&
  grep -q "no/such/dir/t.log" "$work/err" && [ "$(wc -l <"$work/err")" = 1 ] || fail "bad trace file: $(cat "$work/err")"

step "the dialog is titled and named from its layout"
log=$work/trace.log
"$brisel" --trace "$log" >"$work/brisel.log" 2>&1 &
pid=$!
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT
wait_for 5 traced "Config opacity 220" 1
config=$(window Config)
[ -n "$config" ] || fail "no dialog"
timeout 5 xprop -id "$config" WM_NAME | grep -q '"Form1"' || fail "title"
timeout 5 xprop -id "$config" WM_CLASS | grep -q '"Config", "Brisel"' || fail "class"

step "three presses, each after the display has gone again"
xdotool mousemove --window "$config" 224 276 click 1
wait_for 5 gone Config
tap XF86AudioRaiseVolume
wait_for 5 traced "Splash hidden" 1
tap XF86AudioRaiseVolume
wait_for 5 traced "Splash hidden" 2
tap XF86AudioMute
wait_for 5 traced "Splash hidden" 3

step "the trace is the simulator's, but for the times and the mixer's own handle"
# The simulated output stands where the session's sound server starts the real one: 0 %, sound on.
printf 'mixer value 11 0\nmixer value 12 0\nstart\nwait 300\nclick Run\nwait 300\ntap 175\nwait 1500\ntap 175\nwait 1500\ntap 173\nwait 1500\n' |
  "$sim" >"$work/sim.trace"
normal() { sed -E 's/^[0-9]+ //; s/^(mixer[SG]etControlDetails) [0-9]+ /\1 H /' "$1" | grep -E "${2:-.}"; }
grep -qE '^[0-9]+ ' "$log" || fail "no time stamps"
# The same lines; and in the same order within each kind. (A real clock that falls behind lets
# a timer skip a missed tick, which may move one timer's lines past another's.)
diff <(normal "$work/sim.trace" | sort) <(normal "$log" | sort) || fail "the traces differ"
for kind in "^mixer" "^Config" "^Splash (load|shown|hidden|region)" "^Splash opacity" "^Splash (Image2|Mute)"; do
  diff <(normal "$work/sim.trace" "$kind") <(normal "$log" "$kind") || fail "the traces differ in the order of $kind"
done
grep -q "^[0-9]* mixerSetControlDetails 1 11 " "$log" || fail "not the real mixer's handle"
[ "$(status "$brisel" --quit)" = 0 ] && reap && [ "$rc" = 0 ] || fail "--quit: $rc $(cat "$work/err" "$work/brisel.log")"

# runs_on FILE ERROR: the brisel --run started as $pid, tracing into FILE, whose writes fail:
# three taps step the volume all the same, and the one line says why the trace stopped.
runs_on() {
  for expected in 2 4 5; do
    tap XF86AudioRaiseVolume
    wait_for 5 volume_is $expected
  done
  wait_for 5 grep -q "^brisel: --trace" "$work/brisel.err"
  [ "$(status "$brisel" --quit)" = 0 ] && reap && [ "$rc" = 0 ] || fail "--quit: $rc $(cat "$work/err")"
  one_line "$work/brisel.err" "^brisel: --trace $1: $2\$" || fail "the trace into $1: $(cat "$work/brisel.err")"
}
from_silence() { pactl set-sink-volume @DEFAULT_SINK@ 0% && pactl set-sink-mute @DEFAULT_SINK@ 0; }

step "a FIFO whose reader reads the first lines and goes: one line, and brisel runs on"
from_silence
mkfifo "$work/fifo"
grep -q " Splash load$" "$work/fifo" &
reader=$!
"$brisel" --run --trace "$work/fifo" 2>"$work/brisel.err" &
pid=$!
wait_for 5 bash -c "! kill -0 $reader"
runs_on "$work/fifo" "Broken pipe"

step "a full disk: the same"
from_silence
"$brisel" --run --trace /dev/full 2>"$work/brisel.err" &
pid=$!
wait_for 5 grep -q "^brisel: --trace" "$work/brisel.err"
runs_on /dev/full "No space left on device"
echo "trace: all checks passed"

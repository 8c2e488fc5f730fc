#!/usr/bin/env bash
# Failures, made to happen: each says one line on standard error, `brisel: CALL: what the system
# said` where a call failed, and the program ends with status 1 where it cannot go on, and goes on
# with less where it can: no display, a trace whose writes fail, other clients' vanished windows,
# a lost X server, no descriptor left. Run under session.sh:  failure_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
pid= xvfb=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true; [ -z "$xvfb" ] || kill $xvfb 2>/dev/null || true' EXIT
# said_once FILE PATTERN: of the lines in FILE, one is the program's ("brisel: ..."), and it
# matches. Libraries starved of descriptors say so in their own words too (FLTK's input method,
# libpulse).
said_once() { [ "$(grep -c '^brisel:' "$1")" = 1 ] && grep -q "$2" "$1"; }
# started ARG...: brisel with the arguments in the background, standard error in $work/brisel.err.
started() { "$@" >"$work/brisel.log" 2>"$work/brisel.err" & pid=$!; }
stepped() { tap XF86AudioRaiseVolume && wait_for 1 louder_than "$1"; }
# runs_on FILE ERROR: the brisel ($pid) tracing into FILE, whose writes fail, steps the volume at
# two taps (the first tried again until brisel listens: no trace tells when), ends with status 0
# at --quit, and said one line: why the trace stopped.
runs_on() {
  wait_for 5 stepped "$(sink_volume)" && wait_for 5 stepped "$(sink_volume)" || fail "the keys do not step"
  brisel_quits
  one_line "$work/brisel.err" "^brisel: --trace $1: $2\$" || fail "the trace into $1: $(cat "$work/brisel.err")"
}

# limited N COMMAND...: runs COMMAND with room for N more descriptors than it has at its start:
# the lowest free ones are taken first, so the N+1st that it opens fails (EMFILE).
limited() (
  n=$1 free=()
  shift
  for f in $(seq 3 4096); do
    [ -e "/proc/$BASHPID/fd/$f" ] || free+=("$f")
    [ "${#free[@]}" -gt "$n" ] && break
  done
  ulimit -n "${free[$n]}"
  exec "$@"
)

step "no X display: XOpenDisplay, status 1"
[ "$(status env -u DISPLAY "$brisel")" = 1 ] &&
  one_line "$work/err" '^brisel: XOpenDisplay: cannot open the X display (DISPLAY is not set)$' ||
  fail "no display: $(cat "$work/err")"
[ "$(status env DISPLAY=:987 "$brisel" --run)" = 1 ] &&
  one_line "$work/err" '^brisel: XOpenDisplay: cannot open the X display ":987": ' ||
  fail "a display that does not exist: $(cat "$work/err")"
gone Config || fail "a window was shown"

step "a trace into a FIFO whose reader goes, and 100 clients that ask for the instance selection and vanish"
mkfifo "$work/fifo"
grep -q " Splash load$" "$work/fifo" &
reader=$!
started "$brisel" --run --trace "$work/fifo"
wait_for 5 bash -c "! kill -0 $reader"
"$xprobe" vanish _BRISEL_INSTANCE 100
[ "$(status "$brisel" --key up)" = 0 ] || fail "--key up after the clients: $(cat "$work/err")"
wait_for 5 volume_is 2
runs_on "$work/fifo" "Broken pipe"

step "a trace onto a full disk"
from_silence
started "$brisel" --run --trace /dev/full
runs_on /dev/full "No space left on device"
from_silence

step "its X server goes away: one line, status 1 within 2 s, nothing left running"
start_xvfb "$work/xvfb-lost.log"  # a server of its own: the session's stays
xvfb=$xvfb_pid
log=$work/lost.log
started env DISPLAY=":$xvfb_display" "$brisel" --run --trace "$log"
wait_for 5 traced "Splash load" 1
kill "$xvfb"
wait_for 2 bash -c "! kill -0 $pid" || fail "brisel runs on 2 s after its X server went away"
reap
[ "$rc" = 1 ] && one_line "$work/brisel.err" "^brisel: lost the X display :$xvfb_display\$" ||
  fail "status $rc: $(cat "$work/brisel.err")"
wait_for 5 bash -c "! kill -0 $xvfb"
xvfb=

# UndefinedBehaviorSanitizer checks the vtable of each new kind of object through a pipe of its
# own: in a program with no descriptor left it takes every one for a bad one. The steps that
# starve the program of descriptors run only in a build without sanitizers.
if [ -n "${BRISEL_SANITIZED:-}" ]; then
  echo "failures: the steps without descriptors are left to the build without sanitizers"
  exit 0
fi

step "the keyboard's own connection cannot be opened: XOpenDisplay and the cause, status 1"
# Room for the program's first two connections (the display, the instance channel) only.
[ "$(status limited 2 "$brisel" --run)" = 1 ] &&
  said_once "$work/err" "^brisel: XOpenDisplay: cannot open the X display \"$DISPLAY\": Too many open files$" ||
  fail "keyboard: $(cat "$work/err")"
instance_up && fail "the instance channel outlived the program"

step "libpulse's loop cannot start: one warning, and the program goes on without the sound server"
# Room for the trace file and the three connections, none for the loop's wake-up pipe.
log=$work/trace.log
started limited 4 "$brisel" --run --trace "$log"
wait_for 5 traced "Splash load" 1
wait_for 5 grep -q "^brisel: pa_threaded_mainloop_new: " "$work/brisel.err"
tap XF86AudioRaiseVolume  # the display shows; the volume goes nowhere
wait_for 5 window Splash
[ "$(sink_volume)" = 0 ] || fail "the sound server was used"
[ "$(status "$brisel" --quit)" = 0 ] || fail "--quit: $(cat "$work/err")"
reap
[ "$rc" = 0 ] || fail "status $rc after --quit"
said_once "$work/brisel.err" '^brisel: pa_threaded_mainloop_new: Too many open files (the sound server is not used)$' ||
  fail "libpulse: $(cat "$work/brisel.err")"
echo "failures: all checks passed"

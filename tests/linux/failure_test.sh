#!/usr/bin/env bash
# Failures that name their call, made to happen: each says one line, `brisel: CALL: what the
# system said`, on standard error, and the program does what the line says: it ends with status
# 1 where it cannot go on, and goes on with less where it can. And what other X clients and the
# X server do to it: errors about their vanished windows say nothing, a lost display is one line
# and status 1. Run under session.sh:
#   failure_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
pid= xvfb=
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true; [ -z "$xvfb" ] || kill $xvfb 2>/dev/null || true' EXIT
instance_up() { "$xprobe" owner _BRISEL_INSTANCE; }
# said_once FILE PATTERN: of the lines in FILE, one is the program's ("brisel: ..."), and it
# matches. Libraries starved of descriptors say so in their own words too (FLTK's input method,
# libpulse).
said_once() { [ "$(grep -c '^brisel:' "$1")" = 1 ] && grep -q "$2" "$1"; }

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

step "100 clients ask for the instance selection and vanish at once: nothing said, the keys still work"
log=$work/trace.log
"$brisel" --run --trace "$log" >"$work/brisel.out" 2>"$work/brisel.err" &
pid=$!
wait_for 5 grep -q " Splash load$" "$log"
"$xprobe" vanish _BRISEL_INSTANCE 100
[ "$(status "$brisel" --key up)" = 0 ] || fail "--key up after the clients: $(cat "$work/err")"
wait_for 5 volume_is 2
[ "$(status "$brisel" --quit)" = 0 ] || fail "--quit: $(cat "$work/err")"
reap
[ "$rc" = 0 ] && [ ! -s "$work/brisel.err" ] || fail "status $rc: $(cat "$work/brisel.err")"
pactl set-sink-volume @DEFAULT_SINK@ 0%  # as the session started

step "its X server goes away: one line, status 1 within 2 s, nothing left running"
start_xvfb "$work/xvfb-lost.log"  # a server of its own: the session's stays
xvfb=$xvfb_pid
DISPLAY=":$xvfb_display" "$brisel" --run --trace "$work/lost.log" >"$work/brisel.out" 2>"$work/brisel.err" &
pid=$!
wait_for 5 grep -q " Splash load$" "$work/lost.log"
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
rm "$log"
limited 4 "$brisel" --run --trace "$log" >"$work/brisel.out" 2>"$work/brisel.err" &
pid=$!
wait_for 5 grep -q " Splash load$" "$log"
wait_for 5 grep -q "^brisel: pa_threaded_mainloop_new: " "$work/brisel.err"
said_once "$work/brisel.err" '^brisel: pa_threaded_mainloop_new: Too many open files (the sound server is not used)$' ||
  fail "libpulse: $(cat "$work/brisel.err")"
tap XF86AudioRaiseVolume  # the display shows; the volume goes nowhere
wait_for 5 window Splash
[ "$(sink_volume)" = 0 ] || fail "the sound server was used"
[ "$(status "$brisel" --quit)" = 0 ] || fail "--quit: $(cat "$work/err")"
reap
[ "$rc" = 0 ] || fail "status $rc after --quit"
said_once "$work/brisel.err" '^brisel: pa_threaded_mainloop_new: ' || fail "more lines: $(cat "$work/brisel.err")"
echo "failures: all checks passed"

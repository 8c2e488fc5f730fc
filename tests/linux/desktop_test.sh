#!/usr/bin/env bash
# Brisel's command line on a desktop: usage errors, --autostart, --run, one instance per display
# (its message on standard error or in a box), --quit, hot keys that move to other keycodes while
# it runs or that another program grabs, key names that match no key; and failures made to happen
# (no display, a trace whose writes fail, vanished windows, a lost X server, no descriptor left):
# each says one line, `brisel: CALL: what the system said`, and the program ends with status 1
# where it cannot go on and goes on with less where it can. Run under session.sh, BRISEL_WM=openbox.
set -euo pipefail
brisel=$(realpath "$1") xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
trap 'kill ${pid:-} ${helpers[*]:-} 2>/dev/null || true' EXIT
quieter_than() { [ "$(sink_volume)" -lt "$1" ]; }
end_helpers() { kill "${helpers[@]}" && wait "${helpers[@]}" 2>/dev/null || true; helpers=(); }
# piped COMMAND...: its status, with its standard error through a pipe (no terminal, and no box) into $work/err.
piped() { set +e; "$@" 2>&1 >/dev/null | cat >"$work/err"; echo "${PIPESTATUS[0]}"; set -e; }
# said_once FILE PATTERN: one line is the program's, and it matches (starved libraries say more).
said_once() { [ "$(grep -c '^brisel:' "$1")" = 1 ] && grep -q "$2" "$1"; }
started() { "$@" >"$work/brisel.log" 2>"$work/brisel.err" & pid=$!; }
stepped() { tap XF86AudioRaiseVolume && wait_for 1 louder_than "$1"; }
# runs_on FILE ERROR: the brisel tracing into FILE, whose writes fail, steps at two taps (tried
# again until brisel listens: no trace tells when), and said one line, why the trace stopped.
runs_on() {
  wait_for 5 stepped "$(sink_volume)" && wait_for 5 stepped "$(sink_volume)" || fail "the keys do not step"
  brisel_quits
  one_line "$work/brisel.err" "^brisel: --trace $1: $2\$" || fail "the trace into $1: $(cat "$work/brisel.err")"
}

# limited N COMMAND...: COMMAND with room for N descriptors more: the N+1st it opens fails (EMFILE).
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

# usage ARG...: status 2, nothing on standard output, and standard error's first line matches the
# last argument.
usage() { [ "$(status "${@:1:$#-1}")" = 2 ] && [ ! -s "$work/out" ] && head -n 1 "$work/err" | grep -q -- "${!#}"; }

step "--help and --version need no display, anything else XOpenDisplay (status 1); usage errors: status 2"
[ "$(status env -u DISPLAY "$brisel" --help)" = 0 ] && grep -q -- "--trace FILE .*FIFO" "$work/out" || fail "--help"
[ "$(status env -u DISPLAY "$brisel" --version)" = 0 ] && [ "$(cat "$work/out")" = "brisel 0.1" ] || fail "--version"
[ "$(status env -u DISPLAY "$brisel")" = 1 ] &&
  one_line "$work/err" '^brisel: XOpenDisplay: cannot open the X display (DISPLAY is not set)$' || fail "no display: $(cat "$work/err")"
[ "$(status env DISPLAY=:987 "$brisel" --run)" = 1 ] &&
  one_line "$work/err" '^brisel: XOpenDisplay: cannot open the X display ":987": ' || fail "display :987: $(cat "$work/err")"
usage "$brisel" --frobnicate "^brisel: unknown option '--frobnicate'$" &&
  [ "$(tail -n +2 "$work/err")" = "Try 'brisel --help' for more information." ] || fail "unknown option: $(cat "$work/err")"
usage "$brisel" --trace "^brisel: option '--trace' needs FILE$" || fail "--trace without FILE: $(cat "$work/err")"
# A trace file that cannot be opened: said before anything else is tried (no display here).
usage env -u DISPLAY "$brisel" --trace "$work/no/such/dir/t.log" "no/such/dir/t.log" && [ "$(wc -l <"$work/err")" = 1 ] ||
  fail "bad trace file: $(cat "$work/err")"
for bad in left quit ""; do
  usage "$brisel" --key "$bad" "^brisel: option '--key' takes up|down|mute" || fail "--key '$bad': $(cat "$work/err")"
done
usage "$brisel" --autostart maybe "^brisel: option '--autostart'" || fail "--autostart maybe: $(cat "$work/err")"
for command in --quit "--key up"; do
  [ "$(status "$brisel" $command)" = 1 ] && one_line "$work/err" "^brisel: not running on this display$" ||
    fail "$command with no brisel running: $(cat "$work/err")"
done

step "--autostart on writes a valid entry that starts brisel --run with the keys given, quoted"
export XDG_CONFIG_HOME=$work/config
entry=$XDG_CONFIG_HOME/autostart/brisel.desktop
[ "$(status "$brisel" --autostart on --down "Apple Vol Down" --up " +")" = 0 ] || fail "on: $(cat "$work/err")"
one_line "$work/out" "$entry" && [ ! -s "$work/err" ] || fail "on said: $(cat "$work/out" "$work/err")"
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
grep -qxF "Exec=$brisel --run --up \" +\" --down \"Apple Vol Down\"" "$entry" || fail "Exec line: $(grep Exec "$entry")"
# Written again by a brisel in a folder whose name holds a backslash: quoted and escaped.
mkdir "$work/a\\b" && cp "$brisel" "$work/a\\b/"
[ "$(status "$work/a\\b/brisel" --autostart on)" = 0 ] && desktop-file-validate "$entry" &&
  grep -qxF "Exec=\"$work/a\\\\\\\\b/brisel\" --run" "$entry" || fail "on again, from a\\b: $(grep Exec "$entry")"
cp "$entry" "$work/entry.before"
refused() {  # OPTION NAME: one line naming them, status 2, nothing on standard output
  usage "$brisel" --autostart on "$1" "$2" "^brisel: $1 $2: no key has that name; the login entry is left as it was" &&
    [ "$(wc -l <"$work/err")" = 1 ]
}
refused --mute Nonsense && cmp -s "$entry" "$work/entry.before" || fail "--mute Nonsense: $(cat "$work/err")"
[ "$(stat -c %a "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/autostart" | tr '\n' ' ')" = "700 700 " ] ||
  fail "the folders Brisel made: $(stat -c '%a %n' "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/autostart")"

step "a write that fails (no room for any byte) leaves the entry as it was: one line, status 1"
# Standard error a pipe, as the file size limit would stop the line in a file too.
[ "$(piped bash -c 'ulimit -f 0 && exec "$@"' - "$brisel" --autostart on --up F5)" = 1 ] &&
  one_line "$work/err" "^brisel: cannot write $entry: File too large$" || fail "a failed write: $(cat "$work/err")"
cmp -s "$entry" "$work/entry.before" && [ "$(ls -A "$(dirname "$entry")")" = brisel.desktop ] ||
  fail "the entry after a failed write: $(ls -A "$(dirname "$entry")")"

step "--autostart off removes it, and says so when there was none"
[ "$(status "$brisel" --autostart off)" = 0 ] && [ ! -e "$entry" ] && one_line "$work/out" "removed" ||
  fail "off: $(cat "$work/out" "$work/err")"
[ "$(status "$brisel" --autostart off)" = 0 ] && one_line "$work/out" "there was no" || fail "off again"
refused --up "apple vol up" && [ ! -e "$entry" ] || fail "--up 'apple vol up' without an entry: $(cat "$work/err")"
[ "$(status env -u XDG_CONFIG_HOME "$brisel" --autostart on)" = 0 ] && [ -f "$HOME/.config/autostart/brisel.desktop" ] ||
  fail "without XDG_CONFIG_HOME: $(cat "$work/out" "$work/err")"

step "--run hands over at once: the dialog never maps, and the keys work"
log=$work/run.trace
brisel_up --run --up F5 --trace "$log"
wait_for 5 traced "Splash load" 1
! grep -q "Config shown" "$log" && gone Config || fail "the dialog was shown"
press F5 volume_is 2
wait_for 5 window Splash

step "a second brisel says so, exits 1 and leaves the mixer and the first alone"
[ "$(piped timeout 5 "$brisel" --run --up F6)" = 1 ] && one_line "$work/err" "^brisel: already running on this display$" ||
  fail "second: $(cat "$work/err")"
[ "$(status "$brisel")" = 1 ] || fail "a second dialog"
# Started from a menu, standard error where nobody looks: the message box says it.
box() { xdotool search --onlyvisible --name "^Brisel\$" | grep -q .; }
setsid "$brisel" </dev/null >/dev/null 2>/dev/null &
helpers=($!)
wait_for 2 box || fail "no message box from a second brisel started from a menu"
end_helpers
[ "$(sink_volume)" = 2 ] || fail "the second brisel changed the volume"
press F5 volume_is 4

step "a watched key that xmodmap moves to another keycode still works"
code=$(xmodmap -pke | awk '$4 == "F5" {print $2}' | head -n 1)
xmodmap -e "keycode $code = NoSymbol" -e "keycode 200 = F5"
press F5 volume_is 5

step "and one that a new key map moves (the volume keys, under other keycodes)"
before=$(xmodmap -pke | awk '$4 == "XF86AudioLowerVolume" {print $2}')
setxkbmap -keycodes xfree86
after=$(xmodmap -pke | awk '$4 == "XF86AudioLowerVolume" {print $2}')
echo "XF86AudioLowerVolume: keycode $before, then $after"
[ -n "$after" ] && [ "$after" != "$before" ] || fail "the key map did not move the key"
press XF86AudioLowerVolume volume_is 4
brisel_quits

step "keys that other programs grab, as desktops bind them, and a name that matches no key: one line each"
"$xprobe" grab XF86AudioRaiseVolume >"$work/grab.core" &
helpers=($!)
"$xprobe" grab XF86AudioMute xi2 >"$work/grab.xi2" &
helpers+=($!)
wait_for 5 bash -c "[ \$(cat '$work'/grab.* | grep -c grabbed) = 2 ]"
"$brisel" --run --down Nonsense 2> >(cat >"$work/said") &
pid=$!
wait_for 5 grep -q '^brisel: "Apple Mute" is also bound by another program' "$work/said"
wait_for 5 grep -q '^brisel: "Apple Vol Up" is also bound by another program' "$work/said"
end_helpers
before=$(sink_volume)
press XF86AudioLowerVolume quieter_than "$before"
[ "$(wc -l <"$work/said")" = 3 ] && grep -qx 'brisel: --down Nonsense: no key has that name; the key stays "Apple Vol Down" (the names: brisel --help)' "$work/said" ||
  fail "said: $(cat "$work/said")"

step "a brisel that dies leaves nothing behind: the next one starts"
instance_up || fail "no brisel holds the display"
kill -KILL "$pid" && reap
wait_for 5 bash -c "! $xprobe owner _BRISEL_INSTANCE"
brisel_up --run
wait_for 5 instance_up
[ "$(status "$brisel" --run)" = 1 ] || fail "a second brisel after the first was killed"
brisel_quits

step "a trace into a FIFO whose reader goes, and 100 clients that ask for the instance selection and vanish"
from_silence
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
helpers=($xvfb_pid)
log=$work/lost.log
started env DISPLAY=":$xvfb_display" "$brisel" --run --trace "$log"
wait_for 5 traced "Splash load" 1
kill "$xvfb_pid"
wait_for 2 bash -c "! kill -0 $pid" || fail "brisel runs on 2 s after its X server went away"
reap
[ "$rc" = 1 ] && one_line "$work/brisel.err" "^brisel: lost the X display :$xvfb_display\$" ||
  fail "status $rc: $(cat "$work/brisel.err")"
end_helpers

# UndefinedBehaviorSanitizer checks each new kind of object's vtable through a pipe of its own:
# without descriptors it takes every one for a bad one.
if [ -n "${BRISEL_SANITIZED:-}" ]; then
  echo "desktop: the steps without descriptors are left to the build without sanitizers"
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
press XF86AudioRaiseVolume window Splash  # the display shows; the volume goes nowhere
[ "$(sink_volume)" = 0 ] || fail "the sound server was used"
brisel_quits
said_once "$work/brisel.err" '^brisel: pa_threaded_mainloop_new: Too many open files (the sound server is not used)$' ||
  fail "libpulse: $(cat "$work/brisel.err")"
echo "desktop: all checks passed"

#!/usr/bin/env bash
# Brisel's command line on a desktop: usage errors, --autostart, --run, one instance per display
# (its message on standard error or in a box), --quit, hot keys that move to other keycodes while
# it runs, keys another program has grabbed, and key names that match no key.
# Run under session.sh with BRISEL_WM=openbox:  desktop_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$(realpath "$1") xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
quieter_than() { [ "$(sink_volume)" -lt "$1" ]; }
pid=
grabbers=()
trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true; for g in "${grabbers[@]}"; do kill $g 2>/dev/null || true; done' EXIT
# usage ARG...: status 2, nothing on standard output, and standard error's first line matches the
# last argument.
usage() { [ "$(status "${@:1:$#-1}")" = 2 ] && [ ! -s "$work/out" ] && head -n 1 "$work/err" | grep -q -- "${!#}"; }

step "--help and --version need no display; anything else is a usage error, status 2"
[ "$(status env -u DISPLAY "$brisel" --help)" = 0 ] && grep -q -- "--trace FILE .*FIFO" "$work/out" || fail "--help"
[ "$(status env -u DISPLAY "$brisel" --version)" = 0 ] && [ "$(cat "$work/out")" = "brisel 0.1" ] || fail "--version"
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
  # shellcheck disable=SC2086
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
[ "$(status "$brisel" --autostart on)" = 0 ] && grep -qxF "Exec=$brisel --run" "$entry" || fail "on again"
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
set +e
bash -c 'ulimit -f 0 && exec "$@"' - "$brisel" --autostart on --up F5 2>&1 >/dev/null | cat >"$work/err"
rc=${PIPESTATUS[0]}
set -e
[ "$rc" = 1 ] && one_line "$work/err" "^brisel: cannot write $entry: File too large$" ||
  fail "a failed write: status $rc, $(cat "$work/err")"
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
tap F5
wait_for 5 volume_is 2
wait_for 5 window Splash

step "a second brisel says so, exits 1 and leaves the mixer and the first alone"
# Standard error a pipe: one line there, and no box, which would keep the program from ending.
set +e
timeout 5 "$brisel" --run --up F6 2>&1 >/dev/null | cat >"$work/err"
rc=${PIPESTATUS[0]}
set -e
[ "$rc" = 1 ] && one_line "$work/err" "^brisel: already running on this display$" || fail "second: $rc $(cat "$work/err")"
[ "$(status "$brisel")" = 1 ] || fail "a second dialog"
# Started from a menu, standard error where nobody looks: the message box says it.
box() { xdotool search --onlyvisible --name "^Brisel\$" | grep -q .; }
setsid "$brisel" </dev/null >/dev/null 2>/dev/null &
second=$!
wait_for 2 box || fail "no message box from a second brisel started from a menu"
kill "$second"
wait "$second" 2>/dev/null || true
[ "$(sink_volume)" = 2 ] || fail "the second brisel changed the volume"
tap F5
wait_for 5 volume_is 4

step "a watched key that xmodmap moves to another keycode still works"
code=$(xmodmap -pke | awk '$4 == "F5" {print $2}' | head -n 1)
xmodmap -e "keycode $code = NoSymbol" -e "keycode 200 = F5"
tap F5
wait_for 5 volume_is 5

step "and one that a new key map moves (the volume keys, under other keycodes)"
before=$(xmodmap -pke | awk '$4 == "XF86AudioLowerVolume" {print $2}')
setxkbmap -keycodes xfree86
after=$(xmodmap -pke | awk '$4 == "XF86AudioLowerVolume" {print $2}')
echo "XF86AudioLowerVolume: keycode $before, then $after"
[ -n "$after" ] && [ "$after" != "$before" ] || fail "the key map did not move the key"
tap XF86AudioLowerVolume
wait_for 5 volume_is 4
brisel_quits

step "keys that other programs grab, as desktops bind them, and a name that matches no key: one line each"
"$xprobe" grab XF86AudioRaiseVolume >"$work/grab.core" &
grabbers+=($!)
"$xprobe" grab XF86AudioMute xi2 >"$work/grab.xi2" &
grabbers+=($!)
wait_for 5 grep -q grabbed "$work/grab.core"
wait_for 5 grep -q grabbed "$work/grab.xi2"
"$brisel" --run --down Nonsense 2> >(cat >"$work/said") &
pid=$!
# The grabs are said after the hand-over, the name at the start.
wait_for 5 grep -q '^brisel: "Apple Mute" is also bound by another program' "$work/said"
wait_for 5 grep -q '^brisel: "Apple Vol Up" is also bound by another program' "$work/said"
kill "${grabbers[@]}"
wait "${grabbers[@]}" 2>/dev/null || true
grabbers=()
cat "$work/said"
before=$(sink_volume)
tap XF86AudioLowerVolume
wait_for 5 quieter_than "$before"
[ "$(wc -l <"$work/said")" = 3 ] && grep -qx 'brisel: --down Nonsense: no key has that name; the key stays "Apple Vol Down" (the names: brisel --help)' "$work/said" ||
  fail "said: $(cat "$work/said")"

step "a brisel that dies leaves nothing behind: the next one starts"
instance_up || fail "no brisel holds the display"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=
wait_for 5 bash -c "! $xprobe owner _BRISEL_INSTANCE"
brisel_up --run
wait_for 5 instance_up
[ "$(status "$brisel" --run)" = 1 ] || fail "a second brisel after the first was killed"
brisel_quits
echo "desktop: all checks passed"

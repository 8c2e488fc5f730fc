#!/usr/bin/env bash
# The keys change the sound server's default output, and the level follows it: a new default,
# another program's volume or mute, an output that goes away, an unbalanced output; a server that
# stops and comes back, or starts after the program; the level taken from the output at the start,
# no echo of the program's own writes; and the ALSA mixer that the benchmark compares. Against
# PulseAudio, and PipeWire's server with BRISEL_SOUND=pipewire.
# Run under session.sh:  pulse_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
log=$work/trace

# One output's volume (its first channel, or channel $2) in percent, and its mute state.
volume_of() { pactl get-sink-volume "$1" | grep -o '[0-9]*%' | sed -n "${2:-1}p" | tr -d %; }
mute_of() { pactl get-sink-mute "$1" | awk '{print $2}'; }
volume_of_is() { local v; v=$(volume_of "$1"); echo "$1 volume $v" >"$work/last-volume"; [ "$v" = "$2" ]; }
mute_of_is() { [ "$(mute_of "$1")" = "$2" ]; }
# more PATTERN N: the trace holds more than N lines with PATTERN
more() { [ "$(count "$1")" -gt "$2" ]; }
# The display reads the output when it is told of a change made elsewhere: `changed CMD...` runs
# the command and waits until the program has read the output after it.
reads() { count " mixerGetControlDetails [0-9]* 12 "; }
changed() {
  local before; before=$(reads)
  "$@" >/dev/null
  wait_for 5 more " mixerGetControlDetails [0-9]* 12 " "$before" || fail "not followed: $*"
}
start_brisel() { rm -f "$log"; brisel_up --trace "$log"; hand_over; }  # traced, handed over
stop_brisel() {
  kill -0 "$pid" || fail "brisel ended"
  [ ! -s "$work/brisel.log" ] || fail "brisel wrote to its terminal: $(cat "$work/brisel.log")"
  kill "$pid"
  wait_for 5 bash -c "! kill -0 $pid"
  pid=
}
up() { tap XF86AudioRaiseVolume; }
down() { tap XF86AudioLowerVolume; }

if [ "${BRISEL_SOUND:-}" = pipewire ]; then
  pactl info | grep -q '^Server Name: PulseAudio (on PipeWire ' || fail "not PipeWire's server: $(pactl info)"
fi
wait_for 5 make_default_sink null  # PipeWire's session manager takes a moment
second=$(pactl load-module module-null-sink sink_name=second)
start_brisel

step "each press changes the default output; a new default (a headset at 20 %) is followed"
up
wait_for 5 volume_of_is null 2
pactl set-sink-volume second 20%
changed make_default_sink second
up  # 20 % is step 15 (19.75 %): one step up is 21 %
wait_for 5 volume_of_is second 21
[ "$(volume_of null)" = 2 ] || fail "the old output's volume changed"
tap XF86AudioMute
wait_for 5 mute_of_is second yes
[ "$(mute_of null)" = no ] || fail "the old output was muted"
changed make_default_sink null
up  # from 2 % (step 1) and sound on, as null is: 3.5 %, to even 4 %
wait_for 5 volume_of_is null 4
[ "$(mute_of second)" = yes ] && [ "$(volume_of second)" = 21 ] || fail "the old output changed"
tap XF86AudioMute
wait_for 5 mute_of_is null yes
! grep -q libasound "/proc/$pid/maps" || fail "ALSA was loaded although the server answers"

step "an output at 100 % left and 40 % right: one up keeps both channels"
pactl set-sink-volume second 100% 40%
changed make_default_sink second
up
wait_for 5 mute_of_is second no
[ "$(volume_of second)" = 100 ] && [ "$(volume_of second 2)" = 40 ] ||
  fail "balance lost: $(volume_of second) % and $(volume_of second 2) %"
[ "$(mute_of null)" = yes ] || fail "sound on reached the old output"

step "the output in use goes away: the one that is left is followed"
changed pactl unload-module "$second"
wait_for 5 default_sink_is null  # the server falls back to the output that is left
up  # null at 4 % (step 2) and muted: 4.75 % rounds to 5 %, and sound on
wait_for 5 volume_of_is null 5
wait_for 5 mute_of_is null no

step "another program sets 30 %: volume down goes below it, not above"
changed pactl set-sink-volume null 30%
down  # 30 % is step 23 (29.75 %): one down is 28.5 %, to even 28 %
wait_for 5 volume_of_is null 28
changed pactl set-sink-mute null 1
tap XF86AudioMute  # muted elsewhere: the mute key unmutes
wait_for 5 mute_of_is null no

step "50 taps and a held key: one volume write each, and no echo of them taken for a change"
writes=$(volume_writes) before=$(reads) h=$(count " Splash hidden$")
for _ in $(seq 50); do down; done
wait_for 5 more " mixerSetControlDetails [0-9]* 11 " $((writes + 49))
wait_for 5 volume_of_is null 1
{ echo "down XF86AudioRaiseVolume"; sleep 0.5; echo "up XF86AudioRaiseVolume"; } | "$xprobe" keys
hidden_again "$h"
[ "$(reads)" = "$before" ] || fail "$(( $(reads) - before )) reads after the program's own writes"
echo "$(( $(volume_writes) - writes - 50 )) steps for a key held 0.5 s, no read"

step "the server stops: keys change nothing, the display still works, nothing hangs"
stop_pulse
up
wait_for 5 window Splash
up
wait_for 5 gone Splash
kill -0 "$pid" || fail "brisel ended"

step "the server is back: the next press changes the volume, from the program's own count"
start_pulse
[ "$(volume_of null)" = 100 ] || fail "a new server starts at 100 %"
writes=$(volume_writes)
up
wait_for 5 more " mixerSetControlDetails [0-9]* 11 " "$writes"
sent=$(awk '$2 == "mixerSetControlDetails" && $4 == 11 {v = $5} END {printf "%d", v * 100 / 65535 + 0.5}' "$log")
wait_for 5 volume_of_is null "$sent"
[ "$sent" -lt 100 ] || fail "the level jumped to the new server's 100 %"
stop_brisel

step "no sound server at all: the program starts, the keys show the display, nothing is printed"
stop_pulse
start_brisel
up
wait_for 5 window Splash
! pactl info || fail "a sound server was started"

step "the server starts after the program: the first press after it changes the volume"
start_pulse
up  # the second press: 3.5 %, to even 4 %
wait_for 5 volume_of_is null 4
stop_brisel

step "the level starts from the volume the output plays at, and each press sends the level it leads to"
# 40 % is nearest to step 31 (39.75 %): up, up, down, down, up send 41, 42.25, 41, 39.75, 41 %.
pactl set-sink-volume null 40%
start_brisel
for press in up:41 up:42 down:41 down:40 up:41; do
  "${press%:*}"
  wait_for 5 volume_of_is null "${press#*:}"
done
stop_brisel
pactl set-sink-mute null 1
start_brisel
tap XF86AudioMute
wait_for 5 mute_of_is null no
stop_brisel

step "the ALSA mixer (forced, as the benchmark compares it) reaches the server, reads it and follows it"
pactl set-sink-volume null 59%
BRISEL_MIXER=alsa start_brisel
up  # from step 46 (58.5 %) to 47 (59.75 %), then 48 (61 %)
wait_for 5 volume_of_is null 60
up
wait_for 5 volume_of_is null 61
changed amixer -q -D default sset Master 30%
down
wait_for 5 volume_of_is null 28
stop_brisel
echo "sound server mixer: all checks passed"

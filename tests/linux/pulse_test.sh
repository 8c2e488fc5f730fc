#!/usr/bin/env bash
# The keys change the sound server's default output, and the level follows it: a new default, other
# programs' changes, an output that goes away or is unbalanced, a server that stops, comes back or
# starts late; no echo of the program's own writes; and the ALSA mixer the benchmark compares.
# Against PulseAudio, and PipeWire's server with BRISEL_SOUND=pipewire. Run under session.sh.
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION
log=$work/trace

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
# up|down|mute [CONDITION...]: a press of the key, then a wait until the condition holds.
up() { press XF86AudioRaiseVolume "$@"; }
down() { press XF86AudioLowerVolume "$@"; }
mute() { press XF86AudioMute "$@"; }

if [ "${BRISEL_SOUND:-}" = pipewire ]; then
  pactl info | grep -q '^Server Name: PulseAudio (on PipeWire ' || fail "not PipeWire's server: $(pactl info)"
fi
wait_for 5 make_default_sink null  # PipeWire's session manager takes a moment
second=$(pactl load-module module-null-sink sink_name=second)
start_brisel

step "each press changes the default output; a new default (a headset at 20 %) is followed"
up volume_is 2 null
pactl set-sink-volume second 20%
changed make_default_sink second
up volume_is 21 second  # 20 % is step 15 (19.75 %): one step up is 21 %
[ "$(sink_volume null)" = 2 ] || fail "the old output's volume changed"
mute mute_is yes second
[ "$(sink_mute null)" = no ] || fail "the old output was muted"
changed make_default_sink null
up volume_is 4 null  # from 2 % (step 1) and sound on, as null is: 3.5 %, to even 4 %
[ "$(sink_mute second)" = yes ] && [ "$(sink_volume second)" = 21 ] || fail "the old output changed"
mute mute_is yes null
! grep -q libasound "/proc/$pid/maps" || fail "ALSA was loaded although the server answers"

step "an output at 100 % left and 40 % right: one up keeps both channels"
pactl set-sink-volume second 100% 40%
changed make_default_sink second
up mute_is no second
[ "$(sink_volume second)" = 100 ] && [ "$(sink_volume second 2)" = 40 ] ||
  fail "balance lost: $(sink_volume second) % and $(sink_volume second 2) %"
[ "$(sink_mute null)" = yes ] || fail "sound on reached the old output"

step "the output in use goes away: the one that is left is followed"
changed pactl unload-module "$second"
wait_for 5 default_sink_is null  # the server falls back to the output that is left
up volume_is 5 null  # null at 4 % (step 2) and muted: 4.75 % rounds to 5 %, and sound on
wait_for 5 mute_is no null

step "another program sets 30 %: volume down goes below it, not above"
changed pactl set-sink-volume null 30%
down volume_is 28 null  # 30 % is step 23 (29.75 %): one down is 28.5 %, to even 28 %
changed pactl set-sink-mute null 1
mute mute_is no null  # muted elsewhere: the mute key unmutes

step "50 taps and a held key: one volume write each, and no echo of them taken for a change"
writes=$(volume_writes) before=$(reads) h=$(count " Splash hidden$")
for _ in $(seq 50); do down; done
wait_for 5 more " mixerSetControlDetails [0-9]* 11 " $((writes + 49))
wait_for 5 volume_is 1 null
{ echo "down XF86AudioRaiseVolume"; sleep 0.5; echo "up XF86AudioRaiseVolume"; } | "$xprobe" keys
hidden_again "$h"
[ "$(reads)" = "$before" ] || fail "$(( $(reads) - before )) reads after the program's own writes"
echo "$(( $(volume_writes) - writes - 50 )) steps for a key held 0.5 s, no read"

step "the server stops: keys change nothing, the display still works, nothing hangs"
stop_pulse
up window Splash
up gone Splash
kill -0 "$pid" || fail "brisel ended"

step "the server is back: the next press changes the volume, from the program's own count"
start_pulse
[ "$(sink_volume null)" = 100 ] || fail "a new server starts at 100 %"
up more " mixerSetControlDetails [0-9]* 11 " "$(volume_writes)"
sent=$(awk '$2 == "mixerSetControlDetails" && $4 == 11 {v = $5} END {printf "%d", v * 100 / 65535 + 0.5}' "$log")
wait_for 5 volume_is "$sent" null
[ "$sent" -lt 100 ] || fail "the level jumped to the new server's 100 %"
brisel_quits

step "no sound server at all: the program starts, the keys show the display, nothing is printed"
stop_pulse
start_brisel
up window Splash
! pactl info || fail "a sound server was started"

step "the server starts after the program: the first press after it changes the volume"
start_pulse
up volume_is 4 null  # the second press: 3.5 %, to even 4 %
brisel_quits

step "the level and the mute state start from the output's; each press sends the level it leads to"
# 40 % is nearest to step 31 (39.75 %): up, up, down, down, up send 41, 42.25, 41, 39.75, 41 %.
pactl set-sink-volume null 40%
pactl set-sink-mute null 1
start_brisel
mute mute_is no null  # muted at the start: the mute key unmutes
for press in up:41 up:42 down:41 down:40 up:41; do "${press%:*}" volume_is "${press#*:}" null; done
brisel_quits

step "the ALSA mixer (forced, as the benchmark compares it) reaches the server, reads it and follows it"
pactl set-sink-volume null 59%
BRISEL_MIXER=alsa start_brisel
up volume_is 60 null  # from step 46 (58.5 %) to 47 (59.75 %), then 48 (61 %)
up volume_is 61 null
changed amixer -q -D default sset Master 30%
down volume_is 28 null
step "the ALSA mixer's device goes away (here the server behind it): the program rests, and ends"
stop_pulse
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 2  # the time measured
[ $(( $(ticks) - before )) -le 10 ] || fail "$(( $(ticks) - before )) ticks of CPU in 2 s without the device"
brisel_quits
echo "sound server mixer: all checks passed"

#!/usr/bin/env bash
# The keys follow the sound server's default output: a change of the default, an output that
# goes away, a server that stops and comes back, a server that starts after the program, the
# level taken from the output at the start, and the ALSA mixer that the benchmark compares; against
# PulseAudio, and against PipeWire's server with BRISEL_SOUND=pipewire (session.sh). Run under session.sh:  pulse_test.sh BRISEL XPROBE
set -euo pipefail
brisel=$1 xprobe=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
work=$BRISEL_SESSION

# The percent that the n-th press of volume up from the bottom sends (the level it leads to).
up_percents=(2 4 5 6 7 8 10 11 12 14)

# One output's volume (its first channel, or channel $2) in percent, and its mute state.
volume_of() { pactl get-sink-volume "$1" | grep -o '[0-9]*%' | sed -n "${2:-1}p" | tr -d %; }
mute_of() { pactl get-sink-mute "$1" | awk '{print $2}'; }
volume_of_is() { local v; v=$(volume_of "$1"); echo "$1 volume $v" >"$work/last-volume"; [ "$v" = "$2" ]; }
mute_of_is() { [ "$(mute_of "$1")" = "$2" ]; }
server_down() { ! pactl info; }

pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
# Starts the program (with the environment given as arguments) and hands over with "Run".
start_brisel() {
  env "$@" "$brisel" >"$work/brisel.log" 2>&1 &
  pid=$!
  wait_for 5 window Config
  wait_for 5 faded_in Config
  xdotool mousemove --window "$(window Config)" 224 276 click 1
  wait_for 5 gone Config
}
stop_brisel() {
  kill -0 "$pid" || fail "brisel ended"
  [ ! -s "$work/brisel.log" ] || { cat "$work/brisel.log"; fail "brisel wrote to its terminal"; }
  kill "$pid"
  wait_for 5 bash -c "! kill -0 $pid"
  pid=""
}

if [ "${BRISEL_SOUND:-}" = pipewire ]; then
  pactl info | grep -q '^Server Name: PulseAudio (on PipeWire ' || fail "not PipeWire's server: $(pactl info)"
fi
wait_for 5 make_default_sink null  # PipeWire's session manager takes a moment
second=$(pactl load-module module-null-sink sink_name=second)
start_brisel

step "each press changes the output that is the default now, and no other"
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is null "${up_percents[0]}"
[ "$(volume_of second)" = 100 ] || fail "the other output's volume changed"
wait_for 5 make_default_sink second
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is second "${up_percents[1]}"
[ "$(volume_of null)" = "${up_percents[0]}" ] || fail "the old output's volume changed"
tap XF86AudioMute
wait_for 5 mute_of_is second yes
[ "$(mute_of null)" = no ] || fail "the old output was muted"
wait_for 5 make_default_sink null
tap XF86AudioRaiseVolume  # sends the volume, then sound on
wait_for 5 volume_of_is null "${up_percents[2]}"
[ "$(mute_of second)" = yes ] || fail "sound on reached the old output"
[ "$(volume_of second)" = "${up_percents[1]}" ] || fail "the old output's volume changed"
tap XF86AudioMute
wait_for 5 mute_of_is null yes
! grep -q libasound "/proc/$pid/maps" || fail "ALSA was loaded although the server answers"

step "the volume keeps the output's balance"
pactl set-sink-volume second 100% 50%
wait_for 5 make_default_sink second
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is second "${up_percents[3]}"
[ "$(mute_of second)" = no ] || fail "sound on did not reach the new output"
[ "$(mute_of null)" = yes ] || fail "sound on reached the old output"
right=$(volume_of second 2)
[ "$right" -gt 0 ] && [ "$right" -lt "${up_percents[3]}" ] || fail "balance lost: right channel at $right %"

step "the output in use goes away: the next press changes the one that is left"
pactl unload-module "$second"
wait_for 5 default_sink_is null  # the server falls back to the output that is left
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is null "${up_percents[4]}"
wait_for 5 mute_of_is null no

step "the server stops: keys change nothing, the display still works, nothing hangs"
stop_pulse
tap XF86AudioRaiseVolume
wait_for 5 window Splash
tap XF86AudioRaiseVolume
wait_for 5 gone Splash
kill -0 "$pid" || fail "brisel ended"

step "the server is back: the next press changes the volume"
start_pulse
[ "$(volume_of null)" = 100 ] || fail "a new server starts at 100 %"
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is null "${up_percents[7]}"
stop_brisel

step "no sound server at all: the program starts, the keys show the display, nothing is printed"
stop_pulse
start_brisel
tap XF86AudioRaiseVolume
wait_for 5 window Splash
server_down || fail "a sound server was started"

step "the server starts after the program: the first press after it changes the volume"
start_pulse
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is null "${up_percents[1]}"
stop_brisel

step "the level starts from the volume the output plays at, and each press sends the level it leads to"
# 40 % is nearest to step 31 (39.75 %): up, up, down, down, up send 41, 42.25, 41, 39.75, 41 %.
pactl set-sink-volume null 40%
start_brisel
for press in Raise:41 Raise:42 Lower:41 Lower:40 Raise:41; do
  tap "XF86Audio${press%:*}Volume"
  wait_for 5 volume_of_is null "${press#*:}"
done
stop_brisel
pactl set-sink-mute null 1
start_brisel
tap XF86AudioMute
wait_for 5 mute_of_is null no
stop_brisel

step "the ALSA mixer (forced, as the benchmark compares it) still reaches the server, and reads it"
pactl set-sink-volume null 59%
start_brisel BRISEL_MIXER=alsa
tap XF86AudioRaiseVolume  # from step 46 (58.5 %) to 47 (59.75 %), then 48 (61 %)
wait_for 5 volume_of_is null 60
tap XF86AudioRaiseVolume
wait_for 5 volume_of_is null 61
stop_brisel
echo "sound server mixer: all checks passed"

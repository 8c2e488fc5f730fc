# Helpers for the tests under tests/linux/session.sh. Waits poll a condition with a bounded timeout.

# wait_for SECONDS COMMAND...: until COMMAND succeeds; fails after SECONDS.
wait_for() {
  local limit=$1; shift
  local deadline=$(( $(date +%s%N) + limit * 1000000000 ))
  until "$@" >/dev/null 2>&1; do
    if [ "$(date +%s%N)" -gt "$deadline" ]; then
      echo "timed out after ${limit}s: $* ($(cat "$BRISEL_SESSION/last-volume" 2>/dev/null))" >&2
      return 1
    fi
    sleep 0.01
  done
}

# start_xvfb LOG [ARG...]: an Xvfb of its own, room for a flood of clients; its display number in
# $xvfb_display, its pid in $xvfb_pid.
start_xvfb() {
  local log=$1; shift
  exec 3<> <(:)  # the server tells its number on this pipe
  Xvfb -displayfd 3 -screen 0 "${BRISEL_SCREEN:-1280x1024x24}" -nolisten tcp -noreset -maxclients 512 "$@" >"$log" 2>&1 &
  xvfb_pid=$!
  read -r -t 10 -u 3 xvfb_display || { echo "Xvfb did not start" >&2; cat "$log" >&2; kill "$xvfb_pid"; return 1; }
  exec 3<&-
}

# The sound server, started anew: its output "null" is the default, at 100 % and sound on.
start_pulse() {
  if [ "${BRISEL_SOUND:-}" = pipewire ]; then
    pipewire-pulse >"$BRISEL_SESSION/pulse.log" 2>&1 &
  else
    pulseaudio --daemonize=no --exit-idle-time=-1 -n -L module-null-sink -L module-native-protocol-unix \
      >"$BRISEL_SESSION/pulse.log" 2>&1 &
  fi
  echo $! >"$BRISEL_SESSION/pulse.pid"
  wait_for 10 pactl info
  [ "${BRISEL_SOUND:-}" = pipewire ] || return 0
  # PipeWire's: the null sink is loaded through it, and goes with it. Each step is tried until done
  # (a server just started may answer "Not supported"); the session manager settles the default
  # and restores an output's last volume: a new server starts as PulseAudio's.
  wait_for 10 pactl load-module module-null-sink sink_name=null
  wait_for 10 make_default_sink null
  pactl set-sink-volume null 100% && pactl set-sink-mute null 0
}
# stop_pid NAME: ends the process in the session's NAME.pid, and waits until it is gone.
stop_pid() {
  local pid; pid=$(cat "$BRISEL_SESSION/$1.pid")
  kill "$pid" && wait_for 10 bash -c "! kill -0 $pid" && rm -f "$BRISEL_SESSION/$1.pid"
}
stop_pulse() { stop_pid pulse; }
start_compositor() { xcompmgr >>"$BRISEL_SESSION/xcompmgr.log" 2>&1 & echo $! >"$BRISEL_SESSION/xcompmgr.pid"; }
stop_compositor() { stop_pid xcompmgr; }

default_sink_is() { [ "$(pactl get-default-sink)" = "$1" ]; }
make_default_sink() { pactl set-default-sink "$1" && default_sink_is "$1"; }
# A brisel started next begins at level 0, from the output's volume.
from_silence() { pactl set-sink-volume @DEFAULT_SINK@ 0% && pactl set-sink-mute @DEFAULT_SINK@ 0; }

# An output's volume in percent (its first channel, or channel CHANNEL) and its mute state, as
# pactl reports them: sink_volume [SINK [CHANNEL]], sink_mute [SINK], volume_is PERCENT [SINK],
# mute_is yes|no [SINK]; the default output unless SINK.
sink_volume() { pactl get-sink-volume "${1:-@DEFAULT_SINK@}" | grep -o '[0-9]*%' | sed -n "${2:-1}p" | tr -d %; }
sink_mute() { pactl get-sink-mute "${1:-@DEFAULT_SINK@}" | awk '{print $2}'; }
volume_is() { local v; v=$(sink_volume "${2:-}"); echo "volume $v" >"$BRISEL_SESSION/last-volume"; [ "$v" = "$1" ]; }
mute_is() { [ "$(sink_mute "${2:-}")" = "$1" ]; }
louder_than() { [ "$(sink_volume)" -gt "$1" ]; }

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

# A tap shorter than a tick of the key timer: press and release in one request to the X server.
tap() { "$xprobe" tap "$1"; }
# press KEY [CONDITION...]: a tap, then a wait until the condition holds.
press() { tap "$1"; shift; wait_for 5 "$@"; }

# The viewable X windows by their class hint's name, through the caller's $xprobe.
window() { "$xprobe" find "$1"; }
gone() { ! "$xprobe" find "$1"; }
instance_up() { "$xprobe" owner _BRISEL_INSTANCE >/dev/null; }  # a brisel holds the display
alpha_is() { [ "$("$xprobe" alpha "$1" "$2" "$3")" = "$4" ]; }  # WINDOW X Y ALPHA
opacity() { timeout 5 xprop -id "$1" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p'; }  # nothing: none
# The window NAME is faded in to 220: in its 32-bit pixels' alpha, or else in its opacity property.
faded_in() {
  local w; w=$(window "$1") || return 1
  alpha_is "$w" 100 100 220 || [ "$(opacity "$w")" = $((0xDCDCDCDC)) ]
}
# geometry WINDOW: "X Y W H", the window's place and size on the screen
geometry() {
  timeout 5 xwininfo -id "$1" |
    awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# status COMMAND...: its exit status; its output in $work/out and $work/err.
status() { set +e; "$@" >"$work/out" 2>"$work/err"; echo $?; set -e; }
# one_line FILE PATTERN: the file holds one line, and it matches.
one_line() { [ "$(wc -l <"$1")" = 1 ] && grep -q "$2" "$1"; }
# line_ended FILE: the file ends a line (standard error is unbuffered: a line comes in pieces).
line_ended() { [ -s "$1" ] && [ -z "$(tail -c 1 "$1")" ]; }

# brisel_up ARG...: $brisel in the background, its output in $work/brisel.log, its pid in $pid;
# it ends with the test, as the processes in $helpers do.
brisel_up() {
  "$brisel" "$@" >"$work/brisel.log" 2>&1 &
  pid=$!
  trap 'kill ${pid:-} ${helpers[*]:-} 2>/dev/null || true' EXIT
}
# hand_over [SCALE%]: once the dialog has faded in, a click on Run (at 224, 276 at 100 %).
hand_over() {
  wait_for 10 faded_in Config
  xdotool mousemove --window "$(window Config)" $((224 * ${1:-100} / 100)) $((276 * ${1:-100} / 100)) click 1
  wait_for 5 gone Config
}
# reap: waits for the brisel started as $pid to end; its exit status in $rc, and $pid cleared.
reap() { set +e; wait "$pid"; rc=$?; set -e; pid=; }
# brisel_quits: --quit ends $pid with status 0, and it wrote nothing to its terminal.
brisel_quits() {
  [ "$(status "$brisel" --quit)" = 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "--quit: $(cat "$work/err")"
  reap
  [ "$rc" = 0 ] && [ ! -s "$work/brisel.log" ] || fail "status $rc after --quit; said: $(cat "$work/brisel.log")"
}

# Counting in the trace file $log: lines that end in (or hold) a text, the volume and mute writes.
traced() { [ "$(grep -c -- " $1\$" "$log")" -ge "$2" ]; }
count() { grep -c -- "$1" "$log" || true; }
volume_writes() { count " mixerSetControlDetails [0-9]* 11 "; }
mutes() { count " mixerSetControlDetails [0-9]* 12 1 "; }
hidden_again() { wait_for 5 traced "Splash hidden" $(($1 + 1)); }

# On a Wayland desktop: `brisel --run` with F10, F9 and F7 as the session's user ("${as[@]}"), traced
# to $log in $home, says one line, how to bind the keys. Its pid is $brisel_pid, also in pids.
run_brisel_on_wayland() {
  log=$home/trace && rm -f "$work/brisel.err"  # a stale line would pass for the hint before brisel starts
  "${as[@]}" "$brisel" --run --up F10 --down F9 --mute F7 --trace "$log" >"$work/brisel.out" 2>"$work/brisel.err" &
  brisel_pid=$!
  pids+=($brisel_pid)
  wait_for 10 line_ended "$work/brisel.err" || fail "no hint"
  cat "$work/brisel.err"
  [ "$(wc -l <"$work/brisel.err")" = 1 ] && grep -q "'brisel --key up'" "$work/brisel.err" || fail "the hint"
}

# check_held_key MARK: the volume steps the trace ($log) holds after its line MARK, for a key
# held 0.5 s: at least 25, a median of 9 to 15 ms apart (a tick every 10 ms).
check_held_key() {
  tail -n +"$(($1 + 1))" "$log" | awk '$2 == "mixerSetControlDetails" && $4 == 11 {print $1}' >"$BRISEL_SESSION/held"
  local steps median
  steps=$(wc -l <"$BRISEL_SESSION/held")
  median=$(awk 'NR > 1 {print $1 - prev} {prev = $1}' "$BRISEL_SESSION/held" | sort -n |
    awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
  echo "held 0.5 s: $steps steps, median $median ms apart"
  [ "$steps" -ge 25 ] && [ "$median" -ge 9 ] && [ "$median" -le 15 ] || fail "held key: $steps steps, median $median ms"
}

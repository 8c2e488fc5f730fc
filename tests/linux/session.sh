#!/usr/bin/env bash
# session.sh COMMAND [ARG...]: the command in a desktop of its own, in a private folder (its path
# in BRISEL_SESSION): Xvfb (BRISEL_SCREEN, 1280x1024x24; BRISEL_FBDIR=1: the screen in
# $BRISEL_SESSION/Xvfb_screen0) or with BRISEL_XSERVER=dummy the X.Org dummy server, xcompmgr,
# openbox if BRISEL_WM=openbox, a null sink at 0 % on PulseAudio or (BRISEL_SOUND=pipewire)
# PipeWire. All is stopped by process id when the command ends.
set -euo pipefail
# PipeWire's session manager needs a session bus: the session runs on one of its own.
if [ "${BRISEL_SOUND:-}" = pipewire ] && [ -z "${BRISEL_SESSION_BUS:-}" ]; then
  BRISEL_SESSION_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
unset WAYLAND_DISPLAY  # the program runs on an X server of its own, wherever the test starts
here=$(cd "$(dirname "$0")" && pwd)
session=$(mktemp -d /tmp/brisel-session.XXXXXX)
export BRISEL_SESSION=$session
. "$here/lib.sh"
pids=()
cleanup() {
  for f in pulse xcompmgr; do [ ! -f "$session/$f.pid" ] || pids+=("$(cat "$session/$f.pid")"); done
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do
    for _ in $(seq 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.02; done
    kill -9 "$p" 2>/dev/null || true
  done
  rm -rf "$session"
}
trap cleanup EXIT

if [ "${BRISEL_XSERVER:-}" = dummy ]; then
  # As root only (tests/linux/dummy-xorg.conf: 2560x1024), on the first display number from 70 up
  # that no server holds: it knows no -displayfd here.
  [ "$(id -u)" = 0 ] || { echo "session: the X.Org dummy server needs root; skipped" >&2; exit 77; }
  number=70
  while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  Xorg ":$number" -config "$here/dummy-xorg.conf" -noreset -nolisten tcp -logfile "$session/xorg.log" \
    >"$session/xorg.out" 2>&1 &
  pids+=($!)
  export DISPLAY=":$number"
  wait_for 20 xdpyinfo || { echo "session: Xorg did not start" >&2; cat "$session/xorg.out" >&2; exit 1; }
else
  start_xvfb "$session/xvfb.log" ${BRISEL_FBDIR:+-fbdir "$session"} || exit 1
  pids+=("$xvfb_pid")
  echo "$xvfb_pid" >"$session/xvfb.pid"  # for bench/linux_bench.sh
  export DISPLAY=":$xvfb_display"
fi

start_compositor
# openbox owns the screen well before it handles map requests (a window mapped in between is never
# shown): the command starts once it says it has started.
if [ -n "${BRISEL_WM:-}" ]; then
  [ "$BRISEL_WM" = openbox ] || { echo "session: only openbox is supported as BRISEL_WM" >&2; exit 2; }
  openbox --startup "touch $session/wm-ready" >"$session/wm.log" 2>&1 &
  pids+=($!)
fi

export HOME=$session/home XDG_RUNTIME_DIR=$session/run PULSE_RUNTIME_PATH=$session/run/pulse
mkdir -p "$HOME" "$PULSE_RUNTIME_PATH" && chmod 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
if [ "${BRISEL_SOUND:-}" = pipewire ]; then
  # The PipeWire daemon and its session manager; start_pulse starts its PulseAudio server, which is
  # what a test stops and starts as "the sound server".
  . "$here/wayland_lib.sh"
  start_pipewire
fi
start_pulse
pactl set-sink-volume @DEFAULT_SINK@ 0%  # brisel starts from the output's volume: the tests count from 0
if [ -n "${BRISEL_WM:-}" ]; then
  wait_for 10 test -e "$session/wm-ready" || { echo "session: the window manager did not start" >&2; cat "$session/wm.log" >&2; exit 1; }
fi

"$@"

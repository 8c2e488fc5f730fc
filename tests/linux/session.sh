#!/usr/bin/env bash
# Runs a command inside a desktop of its own: an Xvfb server (or, with BRISEL_XSERVER=dummy, the
# X.Org server with the dummy driver, for tests of several monitors), a compositing manager, a
# window manager if BRISEL_WM names one, and a sound server with a null sink, in a private runtime
# folder: PulseAudio, or with BRISEL_SOUND=pipewire PipeWire's (pipewire, wireplumber and
# pipewire-pulse, on a session bus of its own). The screen is BRISEL_SCREEN (default
# 1280x1024x24). With BRISEL_FBDIR=1 Xvfb keeps its screen in BRISEL_SESSION/Xvfb_screen0 (an xwd
# dump): what the screen shows, where a compositor blends the windows. Everything started here is
# stopped by process id when the command ends.
# Usage: session.sh COMMAND [ARG...]
# The command sees DISPLAY, PULSE_RUNTIME_PATH and BRISEL_SESSION (the session's folder);
# `restart_pulse` in tests/linux/lib.sh restarts the daemon, `stop_compositor` and
# `start_compositor` the compositing manager.
set -euo pipefail
# PipeWire's session manager needs a session bus: the session runs on one of its own.
if [ "${BRISEL_SOUND:-}" = pipewire ] && [ -z "${BRISEL_SESSION_BUS:-}" ]; then
  BRISEL_SESSION_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
# A test that runs the program on its own X server is no Wayland session, wherever it is started.
unset WAYLAND_DISPLAY
here=$(cd "$(dirname "$0")" && pwd)
session=$(mktemp -d /tmp/brisel-session.XXXXXX)
export BRISEL_SESSION=$session
# shellcheck source=lib.sh
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
  # The X.Org server with the dummy driver, which can make several monitors of one screen
  # (tests/linux/dummy-xorg.conf: 2560x1024). It runs as root only, and knows no -displayfd
  # here: the first number from 70 up that no server holds.
  [ "$(id -u)" = 0 ] || { echo "session: the X.Org dummy server needs root; skipped" >&2; exit 77; }
  number=70
  while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  Xorg ":$number" -config "$here/dummy-xorg.conf" -noreset -nolisten tcp -logfile "$session/xorg.log" \
    >"$session/xorg.out" 2>&1 &
  pids+=($!)
  export DISPLAY=":$number"
  wait_for 20 xdpyinfo || { echo "session: Xorg did not start" >&2; cat "$session/xorg.out" >&2; exit 1; }
else
  framebuffer=()
  [ -z "${BRISEL_FBDIR:-}" ] || framebuffer=(-fbdir "$session")
  start_xvfb "$session/xvfb.log" "${framebuffer[@]}" || exit 1
  pids+=("$xvfb_pid")
  echo "$xvfb_pid" >"$session/xvfb.pid"
  export DISPLAY=":$xvfb_display"
fi

start_compositor
# A window manager where a test asks for one (BRISEL_WM=openbox). The command starts only once the
# window manager has finished starting: openbox owns the screen (and says so on the root window)
# well before it handles map requests, and a window mapped in between is never shown.
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
# Brisel starts from the output's volume: the tests count their steps from the bottom.
pactl set-sink-volume @DEFAULT_SINK@ 0%
if [ -n "${BRISEL_WM:-}" ]; then
  wait_for 10 test -e "$session/wm-ready" || { echo "session: the window manager did not start" >&2; cat "$session/wm.log" >&2; exit 1; }
fi

"$@"

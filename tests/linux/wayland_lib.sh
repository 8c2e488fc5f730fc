# What the tests on Wayland desktops (sway, GNOME, KDE Plasma) share: a throwaway user when run
# as root, a session environment of the test's own, a session bus and PipeWire's sound server,
# and a cleanup that stops everything by process id. Sourced after lib.sh; the caller sets
# `work` (a fresh folder) first, and calls `desktop_user NAME` and then `user_env`.

uid=$(id -u) user=
pids=()
skip() { echo "SKIPPED: $*"; exit 77; }

# The throwaway user's processes, from /proc (procps may not be installed).
user_pids() {
  local d
  for d in /proc/[0-9]*; do [ "$(stat -c %u "$d" 2>/dev/null)" != "$uid" ] || echo "${d#/proc/}"; done
}
cleanup() {
  set +e
  local p n lock
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for p in "${pids[@]}"; do
    for _ in $(seq 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.02; done
    kill -9 "$p" 2>/dev/null
  done
  if [ -n "$user" ]; then
    # What the session started by itself (Xwayland, the daemons a bus started, the shortcuts'
    # commands), one by one.
    for p in $(user_pids); do kill -9 "$p" 2>/dev/null; done
    for _ in $(seq 100); do [ -z "$(user_pids)" ] && break; sleep 0.02; done
  fi
  # An Xwayland killed before it could clean up leaves its lock file and socket behind: the locks
  # of the session's user whose server is gone.
  for lock in /tmp/.X*-lock; do
    [ -e "$lock" ] && [ "$(stat -c %u "$lock")" = "$uid" ] || continue
    p=$(tr -d ' \n' <"$lock")
    [ -n "$p" ] && kill -0 "$p" 2>/dev/null && continue
    n=${lock#/tmp/.X} n=${n%-lock}
    rm -f "$lock" "/tmp/.X11-unix/X$n"
  done
  if [ -n "$user" ]; then
    userdel -r "$user" >/dev/null 2>&1 || echo "could not remove the user $user" >&2
  fi
  rm -rf "$work"
}

# desktop_user NAME: as root, a user of its own named NAME-PID owns the session; the programs
# under test are copied where it can run them ($work/bin, on the session's PATH).
desktop_user() {
  mkdir -p "$work/home" "$work/run" "$work/bin"
  chmod 755 "$work"
  if [ "$uid" = 0 ]; then
    user=$1-$$
    useradd -M -d "$work/home" -s /bin/sh "$user"
    uid=$(id -u "$user")
    chown "$user:" "$work/home" "$work/run"
    [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
  fi
  chmod 700 "$work/run"
  home=$work/home
  session_env=(HOME="$home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse" SHELL=/bin/sh
    PATH="$work/bin:/usr/local/bin:/usr/bin:/bin" LANG=C.UTF-8 XDG_CONFIG_HOME="$home/.config")
  for v in ASAN_OPTIONS UBSAN_OPTIONS; do [ -z "${!v:-}" ] || session_env+=("$v=${!v}"); done
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$work/lsan.supp"
    session_env+=("LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$work/lsan.supp}")
  fi
}

# A program of the session runs as the user, with the session's environment only:
# "${as[@]}" PROGRAM... . setpriv and env exec, so a job's $! is the program's own process id.
user_env() {
  as=(env -i "${session_env[@]}")
  [ -z "$user" ] || as=(setpriv --reuid="$uid" --regid="$(id -g "$user")" --clear-groups "${as[@]}")
}
as_user() { "${as[@]}" "$@"; }

# A bus of the session's own: `bus_daemon VARIABLE` starts a dbus-daemon as the user and puts
# its address into VARIABLE of the session's environment.
bus_daemon() {
  local out address pid
  out=$(as_user dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start"
  address=$(sed -n 1p <<<"$out") pid=$(sed -n 2p <<<"$out")
  pids+=("$pid")
  session_env+=("$1=$address")
  user_env
}

# PipeWire with its session manager and its PulseAudio server, as the user, with one null output
# "null" as the default, at 0 % (the tests count Brisel's steps from the bottom).
start_pipewire() {
  "${as[@]}" pipewire >"$work/pipewire.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -S "$work/run/pipewire-0" || { cat "$work/pipewire.log"; fail "pipewire did not start"; }
  "${as[@]}" wireplumber >"$work/wireplumber.log" 2>&1 &
  pids+=($!)
  "${as[@]}" pipewire-pulse >"$work/pipewire-pulse.log" 2>&1 &
  pids+=($!)
  wait_for 10 as_user pactl info || { cat "$work/pipewire-pulse.log"; fail "pipewire-pulse did not start"; }
  # A server that has just started may still answer "Not supported" for a moment: each step is
  # tried again until it is done (a module that loaded is not loaded twice).
  wait_for 10 as_user pactl load-module module-null-sink sink_name=null || fail "no null sink"
  wait_for 10 bash -c "$(printf '%q ' "${as[@]}") pactl set-default-sink null &&
    [ \"\$($(printf '%q ' "${as[@]}") pactl get-default-sink)\" = null ]" ||
    { cat "$work/wireplumber.log"; fail "the default output is not the null sink"; }
  as_user pactl set-sink-volume null 0%
  as_user pactl set-sink-mute null 0
}
# The session's sound server answers only its own user.
sink_volume() { as_user pactl get-sink-volume @DEFAULT_SINK@ | sed -n 's/.* \([0-9]*\)% .*/\1/p' | head -n 1; }
sink_mute() { as_user pactl get-sink-mute @DEFAULT_SINK@ | awk '{print $2}'; }

# The expected volume at a level: a press sends the percent of the level it leads to,
# 1 + 1.25 x level, a half to even.
percent_at() {
  awk -v l="$1" 'BEGIN { v = 1 + 1.25 * l; r = int(v); if (v - r > 0.5 || (v - r == 0.5 && r % 2)) r++; print r }'
}

# Whether keys typed into the session reach the flat Wayland window (backdrop.py, which writes
# what it gets to FILE): the letter a, typed with the test's own type_keys, shows up there; tried
# three times.
typed=0
backdrop_has_focus() {
  for _ in 1 2 3; do
    typed=$((typed + 1))
    type_keys a
    wait_for 3 bash -c "[ \$(grep -cx 'key a' '$1') -ge $typed ]" && return 0
  done
  return 1
}

# down_mute_unmute DOWN MUTE LEVEL FILE: DOWN typed steps the output down to level LEVEL
# (the press writes `percent_at LEVEL`), MUTE typed
# twice mutes and unmutes it, and the flat Wayland window (writing to FILE) keeps the focus all
# along.
down_mute_unmute() {
  type_keys "$1"
  wait_for 5 volume_is "$(percent_at "$3")" || fail "$1 did not step down"
  type_keys "$2"
  wait_for 5 mute_is yes || fail "$2 did not mute"
  type_keys "$2"
  wait_for 5 mute_is no || fail "$2 did not unmute"
  ! grep -qx "focus out" "$4" || fail "the Wayland window lost the focus"
  backdrop_has_focus "$4" || fail "the display took the focus"
}

# display_place [NAME]: waits for the display's X window (or the window NAME's) to be viewable on
# the session's Xwayland (the trace tells of a show as it begins, before the window maps) and sets
# `window`, `x` and `y`.
display_place() {
  found() { window=$(as_user "$xprobe" find "${1:-Splash}"); }
  wait_for 5 found "$@" || fail "no ${1:-display} window on Xwayland"
  local geometry
  geometry=$(as_user timeout 5 xwininfo -id "$window")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry") y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
}

# dialog_shows_typing: the setup dialog takes the focus, and what is typed into its first field
# shows on the screen: "F10" there, two BackSpace and 1 typed with the test's `type_keys`, look
# as the field of a dialog started with F1 looks. The test's `shoot FILE` writes a screenshot of
# the whole screen as a binary PPM.
dialog_shows_typing() {
  local field=()
  open_dialog() {
    "${as[@]}" "$brisel" --up "$1" --down F9 --mute F7 >"$work/dialog.out" 2>&1 &
    dialog_pid=$!
    pids+=($dialog_pid)
    display_place Config
    faded_in() { [ "$(as_user "$xprobe" alpha "$window" 100 100)" = 220 ]; }
    wait_for 5 faded_in || fail "the dialog did not fade in"
    field=($((x + 72)) $((y + 128)) 153 21)
  }
  close_dialog() {
    as_user "$brisel" --quit || fail "--quit"
    wait "$dialog_pid" || fail "the dialog ended with status $?"
    [ ! -s "$work/dialog.out" ] || fail "the dialog wrote: $(cat "$work/dialog.out")"
  }
  # field_as NAME REFERENCE: a screenshot NAME whose first field looks as the one in REFERENCE.
  field_as() { shoot "$home/$1.ppm" && /usr/bin/python3 "$here/look.py" same "$home/$1.ppm" "$home/$2.ppm" "${field[@]}" >"$work/field"; }
  # still NAME: a screenshot NAME, once the next one shows the field the same.
  still() { shoot "$home/$1.ppm" && field_as again "$1"; }
  open_dialog F1
  wait_for 5 still started-with-F1 || fail "the first field does not hold still: $(cat "$work/field")"
  close_dialog
  open_dialog F10
  wait_for 5 still before || fail "the first field does not hold still: $(cat "$work/field")"
  ! field_as before started-with-F1 || fail "F10 and F1 look the same in the field"
  echo "before typing, against F1: $(cat "$work/field")"
  type_keys BackSpace BackSpace 1
  wait_for 5 field_as typed started-with-F1 || {
    cp "$home/typed.ppm" /tmp/brisel-typed-shot.ppm
    fail "the screen does not show what was typed: $(cat "$work/field") (/tmp/brisel-typed-shot.ppm)"
  }
  echo "typed, against F1: $(cat "$work/field")"
  close_dialog
}

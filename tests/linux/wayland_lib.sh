# The harness of the tests on Wayland desktops (sway, GNOME, KDE), sourced after lib.sh, and the
# PipeWire start that session.sh shares. A desktop's test defines `shoot FILE` (a screenshot, a
# binary PPM) and `type_keys KEY...`, unless its key helper answers `key` lines.
uid=$(id -u) user= as=()
skip() { echo "SKIPPED: $*"; exit 77; }
as_user() { "${as[@]}" "$@"; }

# bus_daemon VARIABLE: a bus of the session's own, its address in the session's VARIABLE.
bus_daemon() {
  local out
  out=$(as_user dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start"
  pids+=("${out#*$'\n'}")
  as+=("$1=${out%%$'\n'*}")
}
# PipeWire and its session manager, which needs a session bus (lib.sh's start_pulse: its PulseAudio).
start_pipewire() {
  "${as[@]}" pipewire >"$BRISEL_SESSION/pipewire.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { cat "$BRISEL_SESSION/pipewire.log" >&2; fail "no pipewire"; }
  "${as[@]}" wireplumber >"$BRISEL_SESSION/wireplumber.log" 2>&1 &
  pids+=($!)
}

# begin NAME BRISEL SIM XPROBE: the folder $work, removed at the end with all the session started; as
# root a user NAME-PID of its own, "${as[@]}" PROGRAM running PROGRAM as it in the session's
# environment only; PipeWire with the output "null" at 0 % (the steps count from the bottom).
begin() {
  work=$(mktemp -d "/tmp/brisel-$1.XXXXXX") pids=() level=0 backdrop=e03c8c  # a pink the display has not
  home=$work/home XDG_RUNTIME_DIR=$work/run brisel=$work/bin/brisel xprobe=$work/bin/xprobe
  export BRISEL_SESSION=$work BRISEL_SOUND=pipewire
  trap end_session EXIT
  # The sound server's folder made first: pipewire-pulse fails where pactl makes it in between.
  mkdir -p "$home" "$work/bin" && mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_RUNTIME_DIR/pulse"
  chmod 755 "$work"
  if [ "$uid" = 0 ]; then
    user=$1-$$
    useradd -M -d "$home" -s /bin/sh "$user"
    uid=$(id -u "$user")
    chown "$user:" "$home" "$XDG_RUNTIME_DIR" "$XDG_RUNTIME_DIR/pulse"
    [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
  fi
  # The build and source trees may not be readable by the user: what it reads is copied.
  install -m 755 "$2" "$brisel" && install -m 755 "$4" "$xprobe" && install -m 755 "$here"/*.py "$here/lsan.supp" "$work/bin/"
  as=(env -i HOME="$home" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" PATH="$work/bin:/usr/local/bin:/usr/bin:/bin" LANG=C.UTF-8)
  for v in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do [ -z "${!v:-}" ] || as+=("$v=${!v//$here/$work/bin}"); done
  [ -z "$user" ] || as=(setpriv --reuid="$uid" --regid="$(id -g "$user")" --clear-groups "${as[@]}")
  # The sound server answers its own user only: lib.sh's sound helpers run as the user.
  pactl() { "${as[@]}" pactl "$@"; }
  pipewire-pulse() { exec "${as[@]}" pipewire-pulse "$@"; }
  step "PipeWire's sound server on a session bus, as $(as_user id -un)"
  bus_daemon DBUS_SESSION_BUS_ADDRESS
  start_pipewire
  start_pulse
  pids+=("$(cat "$work/pulse.pid")")
  pactl set-sink-volume null 0%
  pactl info | grep "^Server Name"
  printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/expected.bmp" | "$3" >/dev/null
  # What a desktop's session starts: its environment said in $home/env, then the Wayland window.
  session_command="sh -c 'env >$home/env.new && mv $home/env.new $home/env && GDK_BACKEND=wayland exec \
/usr/bin/python3 $work/bin/backdrop.py $backdrop >$home/backdrop.out 2>$home/backdrop.err'"
}

user_pids() {  # from /proc: procps may not be installed
  local d
  for d in /proc/[0-9]*; do [ "$(stat -c %u "$d" 2>/dev/null)" != "$uid" ] || echo "${d#/proc/}"; done
}
end_session() {
  local rc=$? p lock
  set +e
  disown -a
  [ "$rc" != 0 ] || echo "all checks passed"
  if [ "$rc" != 0 ] && [ "$rc" != 77 ]; then
    tail -n 15 "$work"/*.log "$home"/*.err >&2 2>/dev/null
    mkdir -p /tmp/brisel-failed && cp "$home"/*.ppm "$home"/*.rgb /tmp/brisel-failed/ 2>/dev/null
  fi
  for ((p = ${#pids[@]} - 1; p >= 0; p--)); do kill "${pids[p]}"; done 2>/dev/null
  for p in "${pids[@]}"; do wait_for 2 bash -c "! kill -0 $p" || kill -9 "$p"; done 2>/dev/null
  if [ -n "$user" ]; then  # and what the session started by itself: Xwayland, the buses' daemons...
    for p in $(user_pids); do kill -9 "$p"; done 2>/dev/null
    wait_for 2 eval '[ -z "$(user_pids)" ]'
  fi
  for lock in /tmp/.X*-lock; do  # a killed Xwayland leaves its lock and socket behind
    [ "$(stat -c %u "$lock" 2>/dev/null)" = "$uid" ] && ! kill -0 "$(tr -d ' \n' <"$lock")" 2>/dev/null || continue
    p=${lock#/tmp/.X}
    rm -f "$lock" "/tmp/.X11-unix/X${p%-lock}"
  done
  [ -z "$user" ] || userdel -r "$user" >/dev/null 2>&1 || echo "could not remove the user $user" >&2
  rm -rf "$work"
}

# desktop_up PID: once the desktop (process PID) has run session_command, its displays join the
# session's environment and the test's (for xprobe), Xwayland answers and the Wayland window shows.
desktop_up() {
  local v value
  wait_for 20 bash -c "[ -s '$home/env' ] || ! kill -0 $1"
  [ -s "$home/env" ] || return 1
  for v in WAYLAND_DISPLAY DISPLAY XAUTHORITY; do
    value=$(sed -n "s/^$v=//p" "$home/env")
    echo "$v=$value"
    [ -z "$value" ] || { export "$v=$value"; as+=("$v=$value"); }
  done
  wait_for 10 as_user xhost +si:localuser:root || fail "Xwayland does not answer"
  wait_for 10 grep -qx shown "$home/backdrop.out" || fail "the Wayland window did not show"
}

# helper PROGRAM...: a co-process that says "ready", then answers each line (`ask LINE`) with one.
helper() {
  coproc helper_io { exec "${as[@]}" "$@" 2>"$work/helper.log"; }
  pids+=($helper_io_PID)
  [ "$(ask)" = ready ] || fail "$1 did not start"
}
ask() {
  [ $# = 0 ] || echo "$*" >&"${helper_io[1]}"
  read -r -t 10 -u "${helper_io[0]}" answer || fail "no answer from the helper"
  echo "$answer"
}
type_keys() { local k c=(); for k; do c+=("${keys[$k]}"); done; [ "$(ask key "${c[@]}")" = ok ]; }
# typed KEY MESSAGE CONDITION...: KEY typed, CONDITION comes true, or the test fails with MESSAGE.
typed() { type_keys "$1" && wait_for 5 "${@:3}" || fail "$2"; }

# The letter a, typed, reaches the Wayland window (three tries); kept_focus: and it never lost the focus.
window_has_focus() {
  local n
  for _ in 1 2 3; do
    n=$(grep -cx 'key a' "$home/backdrop.out" || true)
    type_keys a
    wait_for 3 bash -c "[ \$(grep -cx 'key a' '$home/backdrop.out') -gt $n ]" && return 0
  done
  return 1
}
kept_focus() { ! grep -qx "focus out" "$home/backdrop.out" && window_has_focus || fail "$1 took the focus"; }

start_brisel() {
  run_brisel_on_wayland
  kept_focus brisel
}
# quit_brisel PID LINES FILE...: brisel --quit ends the instance PID, which wrote LINES lines in all.
quit_brisel() {
  as_user "$brisel" --quit || fail "--quit"
  wait "$1" || fail "brisel ended with status $?"
  [ "$(cat "${@:3}" | wc -l)" = "$2" ] || fail "brisel wrote: $(cat "${@:3}")"
}

percent_at() {
  awk -v l="$1" 'BEGIN { v = 1 + 1.25 * l; r = int(v); if (v - r > 0.5 || (v - r == 0.5 && r % 2)) r++; print r }'
}
# press_up KEY...: the keys typed step the output up a level each: 1 + 1.25 x level %, a half to even.
press_up() {
  type_keys "$@"
  sent=$(date +%s%N) level=$((level + $#))
  wait_for 5 volume_is "$(percent_at $level)" || fail "$* did not step up to level $level"
}
# mark, once the display is at rest, then steps_are N: once it has hidden, N volume writes since.
mark() { wait_for 5 at_rest || fail "the display did not hide"; writes=$(volume_writes) h=$(count " Splash hidden$"); }
steps_are() {
  hidden_again "$h"
  echo "presses: $1, steps: $(($(volume_writes) - writes))"
  [ "$(volume_writes)" = $((writes + $1)) ] || fail "not one step a press"
}
at_rest() { [ "$(count " Splash shown$")" = "$(count " Splash hidden$")" ]; }

# display_place [NAME]: the display's X window (or NAME's) once viewable: `window`, `x`, `y`.
display_place() {
  local name=${1:-Splash}
  wait_for 5 eval 'window=$(window "$name")' || fail "no $name window on Xwayland"
  read -r x y _ < <(geometry "$window")
}
# show_display KEY: KEY steps the output up (how soon is printed) and shows the display.
show_display() {
  local shown ms
  shown=$(count " Splash shown$") hid=$(count " Splash hidden$")
  press_up "$1"
  ms=$(( ($(date +%s%N) - sent) / 1000000 ))
  wait_for 5 traced "Splash shown" $((shown + 1)) || fail "no display"
  display_place
  echo "the output stepped $ms ms after $1 was typed; the display at $x,$y"
}
# display_check: a screenshot taken while the display is up shows it translucent and rounded over
# the Wayland window; where it hid before one did, the key again (three tries).
display_check() {
  for _ in 1 2 3; do
    ok=no still=yes look="no screenshot"
    wait_for 5 shot_looks_right || true
    [ "$ok" = yes ] && { echo "over the Wayland window: $look"; return; }
    [ "$still" = no ] || fail "the display at $x,$y is not translucent and rounded: $look"
    show_display "$up"
  done
  fail "no screenshot caught the display"
}
shot_looks_right() {
  shoot "$home/shot.ppm" || return 1
  still=$([ "$(count " Splash hidden$")" = "$hid" ] && echo yes || echo no)
  look=$(/usr/bin/python3 "$here/look.py" "$home/shot.ppm" "$x" "$y" "$work/expected.bmp" "$backdrop") && ok=yes ||
    [ "$still" = no ]
}

# bound_keys UP DOWN MUTE [one-by-one]: typed into the Wayland window, Brisel's own keys (F7, and
# F10 unless UP) are not heard; UP, bound to `brisel --key up`, steps and shows the display
# (display_check); ten more UP, in a row (or one at a time, where the desktop runs a command once
# for a burst), step ten times; then down_mute_unmute.
bound_keys() {
  local muted from=$level
  up=$1 muted=$(mutes)
  mark
  if [ "$1" = F10 ]; then type_keys F7; else type_keys F10 F7; fi
  show_display "$1"
  display_check
  steps_are $((level - from))
  mark
  if [ -n "${4:-}" ]; then for _ in {1..10}; do press_up "$1"; done; else press_up $(printf "$1 %.0s" {1..10}); fi
  steps_are 10  # by then a heard F7 would have muted, 100 ms after its press
  [ "$(mutes)" = "$muted" ] || fail "Brisel heard F7 while a Wayland window had the focus"
  down_mute_unmute "$2" "$3"
}
# down_mute_unmute DOWN MUTE: DOWN steps down, MUTE mutes and unmutes, the volume kept; the Wayland
# window kept the focus all along.
down_mute_unmute() {
  level=$((level - 1))
  typed "$1" "$1 did not step down" volume_is "$(percent_at $level)"
  typed "$2" "$2 did not mute" mute_is yes
  typed "$2" "$2 did not unmute" mute_is no
  volume_is "$(percent_at $level)" || fail "$2 changed the volume"
  kept_focus "the display"
}

# quit_and_dialog: brisel --quit ends brisel --run, which wrote nothing but the hint. The setup dialog
# fades in; its first field shows what is typed ("F10" there, two BackSpace and 1 typed, look as a
# dialog started with F1); then the Wayland window has the focus again.
quit_and_dialog() {
  local field=()
  step "brisel --quit ends it; it wrote nothing but the hint"
  quit_brisel "$brisel_pid" 1 "$work/brisel.out" "$work/brisel.err"
  step "the setup dialog on Xwayland takes the focus; typed into, it shows what was typed"
  open_dialog() {
    "${as[@]}" "$brisel" --up "$1" --down F9 --mute F7 >"$work/dialog.out" 2>&1 &
    pids+=($!) dialog_pid=$!
    display_place Config
    wait_for 5 alpha_is "$window" 100 100 220 || fail "the dialog did not fade in"
    field=($((x + 72)) $((y + 128)) 153 21)
  }
  # field_as NAME REFERENCE: a screenshot NAME whose first field looks as in REFERENCE.
  field_as() { shoot "$home/$1.ppm" && /usr/bin/python3 "$here/look.py" same "$home/$1.ppm" "$home/$2.ppm" "${field[@]}" >"$work/field"; }
  settled() { shoot "$home/$1.ppm" && field_as again "$1"; }  # a screenshot, once the next looks the same
  open_dialog F1
  wait_for 5 settled started-with-F1 || fail "the first field does not hold still: $(cat "$work/field")"
  quit_brisel "$dialog_pid" 0 "$work/dialog.out"
  open_dialog F10
  wait_for 5 settled before || fail "the first field does not hold still: $(cat "$work/field")"
  ! field_as before started-with-F1 || fail "F10 and F1 look the same in the field"
  echo "before typing, against F1: $(cat "$work/field")"
  type_keys BackSpace BackSpace 1
  wait_for 5 field_as typed started-with-F1 || fail "the screen does not show what was typed: $(cat "$work/field")"
  echo "typed, against F1: $(cat "$work/field")"
  quit_brisel "$dialog_pid" 0 "$work/dialog.out"
  window_has_focus || fail "the Wayland window did not get the focus back"
}

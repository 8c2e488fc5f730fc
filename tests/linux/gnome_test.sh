#!/usr/bin/env bash
# Brisel on GNOME's Wayland session: gnome-shell 43 headless with Xwayland, its media-keys daemon
# running the shortcuts that the README's `gsettings` commands make, run as written. Keys and the
# screen cast go through mutter's D-Bus interfaces (gnome_remote.py).
#   gnome_test.sh BRISEL BRISEL_SIM XPROBE   (BRISEL_FADE_FRAMES: the fade-ins filmed, 3 unless set)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/wayland_lib.sh"
command -v gnome-shell >/dev/null || skip "gnome-shell is not installed"
begin brisel-gnome "$@"
# gnome-shell asks a system bus for the seat where systemd's seat folder exists: one of our own.
bus_daemon DBUS_SYSTEM_BUS_ADDRESS

step "gnome-shell, headless, with Xwayland, and the media-keys daemon; a flat-coloured Wayland window takes the focus"
"${as[@]}" XDG_SESSION_TYPE=wayland gnome-shell --headless --wayland --virtual-monitor 1024x768 >"$work/shell.log" 2>&1 &
pids+=($!)
x_ready() { grep -q "Using public X11 display" "$work/shell.log" && ls "$work/run"/.mutter-Xwaylandauth.* "$work/run/wayland-0"; }
wait_for 20 x_ready || fail "gnome-shell did not start Xwayland"
as+=(WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
  DISPLAY=":$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$work/shell.log" | head -n 1)"
  XAUTHORITY="$(ls "$work/run"/.mutter-Xwaylandauth.* | head -n 1)")
"${as[@]}" /usr/libexec/gsd-media-keys >"$work/media-keys.log" 2>&1 &
pids+=($!)
wait_for 10 as_user xwininfo -root || fail "Xwayland does not answer"  # by then mutter's interfaces are there
helper /usr/bin/python3 "$work/bin/gnome_remote.py"
node=$(ask node)
declare -A keys=([Escape]=0xff1b [F7]=0xffc4 [F8]=0xffc5 [F9]=0xffc6 [F10]=0xffc7 [a]=0x61 [BackSpace]=0xff08 [1]=0x31)
type_keys Escape  # gnome-shell starts in the overview
"${as[@]}" sh -c "$session_command" &
pids+=($!)
desktop_up $!

step "the README's gsettings commands, run as written, bind F10, F9 and F8"
recipe=$(awk '/^### Wayland desktops/ { w = 1 } w && /^- \*\*GNOME\*\*/ { g = 1 } g && /^  ```sh$/ { r = 1; next }
  r && /^  ```$/ { exit } r { sub(/^  /, ""); print }' "$here/../../README.md")
[ -n "$recipe" ] && as_user sh -e -c "$recipe" || fail "the README's commands failed"

# film_fade_in: the screen cast filmed, cropped to the display (209 x 207), while F10 shows it once;
# each frame's corners that show the backdrop (of 4) and opacity (0 to 1) added to frames.txt; counted
# in `opaque` when the first frame that shows the display shows it opaque.
film_fade_in() {
  local film first h
  wait_for 5 at_rest || fail "the display did not hide"
  h=$(count " Splash hidden$")
  rm -f "$home/frames.rgb"
  "${as[@]}" gst-launch-1.0 -q pipewiresrc path="$node" always-copy=true ! videoconvert ! \
    videocrop left="$x" top="$y" right=$((1024 - x - 209)) bottom=$((768 - y - 207)) ! \
    video/x-raw,format=RGB ! filesink location="$home/frames.rgb" >"$work/gst.log" 2>&1 &
  pids+=($!) film=$!
  wait_for 10 test -s "$home/frames.rgb" || fail "the screen cast films nothing"
  press_up F10
  hidden_again "$h" || fail "the display did not hide"
  kill "$film" && wait "$film" || true
  /usr/bin/python3 "$here/look.py" frames "$home/frames.rgb" 209 207 "$work/expected.bmp" "$backdrop" |
    tee -a "$work/frames.txt" >"$work/film.txt"
  first=$(awk '$2 > 0.02 { print $2; exit }' "$work/film.txt")
  echo "first frame ${first:-none}; all: $(awk '{ print $2 }' "$work/film.txt" | xargs)"
  awk -v a="${first:-0}" 'BEGIN { exit !(a <= 0.95) }' || opaque=$((opaque + 1))
}
# display_check [N]: N fade-ins filmed (BRISEL_FADE_FRAMES, 3 unless set): none begins opaque, and
# of all frames filmed, those that show the display have the corners cut off, and at full opacity
# it is 220 of 255 (0.86).
display_check() {
  local i n=${1:-${BRISEL_FADE_FRAMES:-3}}
  opaque=0
  for ((i = 1; i <= n; i++)); do printf 'fade-in %d: ' "$i"; film_fade_in; done
  echo "$(wc -l <"$work/frames.txt") frames; at full opacity: $(awk '$2 > 0.75' "$work/frames.txt" | sort | uniq -c | xargs)"
  [ "$opaque" = 0 ] || fail "$opaque of $n fade-ins began with an opaque frame"
  awk '$1 == 4 && $2 >= 0.8 && $2 <= 0.92 { ok = 1 } END { exit !ok }' "$work/frames.txt" ||
    fail "no frame shows the display translucent and rounded: $(xargs <"$work/frames.txt")"
  ! awk '$2 > 0.02 && $1 != 4' "$work/frames.txt" | grep -q . || fail "frames with the corners drawn: $(xargs <"$work/frames.txt")"
}

step "brisel --run on Xwayland: one line says how to bind the keys"
start_brisel
step "F7 typed into the Wayland window is not heard; F10 (brisel --key up) steps, shows the display, ten in a row step ten times; F9 down, F8 mutes and unmutes"
bound_keys F10 F9 F8
quit_brisel "$brisel_pid" 1 "$work/brisel.out" "$work/brisel.err"

step "Brisel started anew: the display's very first fade-in, filmed where it shows, starts faint"
rm "$log" "$work/brisel.err"  # a trace of its own; its hint, not the last one
start_brisel
display_check 1
shoot() {  # one frame of the screen cast (1024 x 768 RGB rows, no padding)
  "${as[@]}" gst-launch-1.0 -q pipewiresrc path="$node" num-buffers=1 always-copy=true ! videoconvert ! \
    video/x-raw,format=RGB ! filesink location="$home/frame.rgb" >"$work/gst.log" 2>&1 &&
    { printf 'P6\n1024 768\n255\n' && cat "$home/frame.rgb"; } >"$1"
}
quit_and_dialog

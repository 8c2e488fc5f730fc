#!/usr/bin/env bash
# Brisel on GNOME's Wayland session: gnome-shell 43 headless with Xwayland, PipeWire's sound
# server, and GNOME's media-keys daemon running the custom shortcuts that the README's `gsettings`
# commands make (taken from README.md and run as written). A flat-coloured Wayland window holds
# the keyboard focus; keys are typed into the session through mutter's remote desktop interface,
# and the screen is filmed through its screen cast (tests/linux/gnome_remote.py).
#   gnome_test.sh BRISEL BRISEL_SIM XPROBE
# As root it runs the session as a throwaway user, removed at the end.
# Every frame of a few fade-ins is filmed too: none may show the display opaque (BRISEL_FADE_FRAMES
# sets how many fade-ins, 3 unless set). Last, the setup dialog: what is typed into it shows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
brisel_build=$(realpath "$1") sim=$(realpath "$2") xprobe_build=$(realpath "$3")
readme=$here/../../README.md
work=$(mktemp -d /tmp/brisel-gnome.XXXXXX)
export BRISEL_SESSION=$work
. "$here/wayland_lib.sh"
trap cleanup EXIT
command -v gnome-shell >/dev/null || skip "gnome-shell is not installed"
for tool in /usr/libexec/gsd-media-keys gsettings dbus-daemon pipewire wireplumber pipewire-pulse pactl \
  gst-launch-1.0 xwininfo /usr/bin/python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test.sh installs it)"
done

desktop_user brisel-gnome
install -m 755 "$brisel_build" "$work/bin/brisel"
install -m 755 "$xprobe_build" "$work/bin/xprobe"
install -m 755 "$here/gnome_remote.py" "$here/backdrop.py" "$work/bin/"
brisel=$work/bin/brisel xprobe=$work/bin/xprobe
user_env

step "a session bus, PipeWire's sound server, as $(as_user id -un)"
bus_daemon DBUS_SESSION_BUS_ADDRESS
# gnome-shell asks a system bus for the seat where systemd's seat folder exists: one of our own.
bus_daemon DBUS_SYSTEM_BUS_ADDRESS
start_pipewire
as_user pactl info | grep "^Server Name"

step "gnome-shell, headless, with Xwayland, and the media-keys daemon"
"${as[@]}" XDG_SESSION_TYPE=wayland gnome-shell --headless --wayland --virtual-monitor 1024x768 \
  >"$work/shell.log" 2>&1 &
shell_pid=$!
pids+=($shell_pid)
x_ready() { grep -q "Using public X11 display" "$work/shell.log" && ls "$work/run"/.mutter-Xwaylandauth.* && ls "$work/run"/wayland-0; }
wait_for 20 x_ready || { cat "$work/shell.log"; fail "gnome-shell did not start Xwayland"; }
number=$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$work/shell.log" | head -n 1)
session_env+=(WAYLAND_DISPLAY=wayland-0 DISPLAY=":$number" XAUTHORITY="$(ls "$work/run"/.mutter-Xwaylandauth.* | head -n 1)"
  XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
user_env
echo "WAYLAND_DISPLAY=wayland-0 DISPLAY=:$number"
wait_for 10 as_user xwininfo -root || fail "Xwayland does not answer"
"${as[@]}" /usr/libexec/gsd-media-keys >"$work/media-keys.log" 2>&1 &
pids+=($!)

step "mutter's remote desktop and screen cast"
coproc remote { exec "${as[@]}" /usr/bin/python3 "$work/bin/gnome_remote.py" 2>"$work/remote.log"; }
pids+=($remote_PID)
answer() { local line; read -r -t 10 -u "${remote[0]}" line || { cat "$work/remote.log"; fail "gnome_remote.py did not answer"; }; echo "$line"; }
ask() { echo "$*" >&"${remote[1]}"; answer; }
[ "$(answer)" = ready ] || fail "gnome_remote.py: $(cat "$work/remote.log")"
node=$(ask node)
# Keysyms: the ones this test types.
declare -A keysym=([Escape]=0xff1b [F7]=0xffc4 [F8]=0xffc5 [F9]=0xffc6 [F10]=0xffc7 [a]=0x61 [BackSpace]=0xff08 [1]=0x31)
type_keys() { local k ks=(); for k; do ks+=("${keysym[$k]}"); done; [ "$(ask key "${ks[@]}")" = ok ]; }
# gnome-shell starts in the overview: Escape leaves it.
type_keys Escape

step "a flat-coloured Wayland window takes the keyboard focus"
backdrop=e03c8c  # a pink that no pixel of the display's picture has
"${as[@]}" GDK_BACKEND=wayland /usr/bin/python3 "$work/bin/backdrop.py" "$backdrop" >"$work/backdrop.out" 2>"$work/backdrop.err" &
pids+=($!)
wait_for 10 grep -qx "focus in" "$work/backdrop.out" || { cat "$work/backdrop.err"; fail "the Wayland window did not get the focus"; }
window_has_focus() { backdrop_has_focus "$work/backdrop.out"; }
window_has_focus || fail "a key typed did not reach the Wayland window"

step "the README's gsettings commands, run as written, bind F10, F9 and F8"
recipe=$(awk '/^### Wayland desktops/ { w = 1 } w && /^- \*\*GNOME\*\*/ { g = 1 } g && /^  ```sh$/ { r = 1; next }
  r && /^  ```$/ { exit } r { sub(/^  /, ""); print }' "$readme")
[ -n "$recipe" ] || fail "no gsettings commands under GNOME in README.md"
printf '%s\n' "$recipe"
as_user sh -e -c "$recipe" || fail "the README's commands failed"
as_user gsettings get org.gnome.settings-daemon.plugins.media-keys.custom-keybinding:/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/brisel-up/ command

step "brisel --run on Xwayland: one line says how to bind the keys"
run_brisel_on_wayland
wait_for 10 test -s "$log" || fail "brisel did not start"
window_has_focus || fail "brisel took the focus"


step "F10 typed into the Wayland window: GNOME runs brisel --key up, PipeWire's output steps, the display shows"
printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/expected.bmp" |
  "$sim" >/dev/null
h=$(count " Splash hidden$")
started=$(date +%s%N)
type_keys F10
wait_for 5 volume_is "$(percent_at 1)" || fail "the volume did not step"
echo "the output stepped $(( ($(date +%s%N) - started) / 1000000 )) ms after the key"
wait_for 5 traced "Splash shown" 1
display_place
echo "the display at $x,$y"

hidden_again "$h"

# Films the screen cast, cropped to the display's rectangle, into $home/frames.rgb: film_start
# returns once the first frame is written; film_stop ends it, and `frames` prints each frame's
# "C A" (corner pixels that show the backdrop, of 4; the display's opacity, 0 to 1).
film_start() {
  rm -f "$home/frames.rgb"
  "${as[@]}" gst-launch-1.0 -q pipewiresrc path="$node" always-copy=true ! videoconvert ! \
    videocrop left="$x" top="$y" right=$((1024 - x - 209)) bottom=$((768 - y - 207)) ! \
    video/x-raw,format=RGB ! filesink location="$home/frames.rgb" >"$work/gst.log" 2>&1 &
  film=$!
  pids+=($film)
  wait_for 10 test -s "$home/frames.rgb" || { cat "$work/gst.log"; fail "the screen cast films nothing"; }
}
film_stop() { kill "$film"; wait "$film" 2>/dev/null || true; }
frames() { /usr/bin/python3 "$here/look.py" frames "$home/frames.rgb" 209 207 "$work/expected.bmp" "$backdrop"; }

step "filmed: the display is translucent and rounded over the Wayland window, and does not take the focus"
h=$(count " Splash hidden$")
film_start
type_keys F10
hidden_again "$h"
film_stop
wait_for 5 volume_is "$(percent_at 2)" || fail "the second F10"
frames >"$work/frames.txt"
echo "$(wc -l <"$work/frames.txt") frames; at full opacity: $(awk '$2 > 0.75' "$work/frames.txt" | sort | uniq -c | xargs)"
# Shown at 220 of 255 (0.86), the corners cut off; a frame of it opaque is counted by fade_frames.
awk '$1 == 4 && $2 >= 0.8 && $2 <= 0.92 { ok = 1 } END { exit !ok }' "$work/frames.txt" || {
  cp "$home/frames.rgb" /tmp/brisel-gnome-frames.rgb
  fail "no frame shows the display translucent and rounded (/tmp/brisel-gnome-frames.rgb, 209x207 RGB rows of 628 bytes): $(xargs <"$work/frames.txt")"
}
! awk '$2 > 0.02 && $1 != 4' "$work/frames.txt" | grep -q . || fail "frames with the corners drawn: $(xargs <"$work/frames.txt")"
! grep -qx "focus out" "$work/backdrop.out" || fail "the Wayland window lost the focus"
window_has_focus || fail "the display took the focus"

step "F7, Brisel's own mute key, typed into the Wayland window is not heard; F10 ten times: ten steps"
writes=$(volume_writes) h=$(count " Splash hidden$") muted=$(mutes)
type_keys F7
type_keys F10 F10 F10 F10 F10 F10 F10 F10 F10 F10
wait_for 10 bash -c "[ \$(grep -c ' mixerSetControlDetails [0-9]* 11 ' '$log') -ge $((writes + 10)) ]" ||
  fail "$(( $(volume_writes) - writes )) steps for 10 presses"
hidden_again "$h"  # by then a heard F7 would have muted, 100 ms after its press
[ "$(volume_writes)" = $((writes + 10)) ] || fail "$(( $(volume_writes) - writes )) steps for 10 presses"
[ "$(mutes)" = "$muted" ] || fail "Brisel heard F7 while a Wayland window had the focus"
volume_is "$(percent_at 12)" || fail "the output is at $(sink_volume) %, not $(percent_at 12) %"

step "F9 (brisel --key down) steps down, F8 (brisel --key mute) mutes and unmutes"
down_mute_unmute F9 F8 11 "$work/backdrop.out"

# Films one fade-in through the screen cast, every frame of the display's rectangle, and prints
# the display's opacity frame by frame (0 to 1; 0.86 is 220 of 255). Fails when the first frame
# that shows the display shows it opaque.
film_fade_in() {
  local first
  wait_for 5 bash -c "[ \$(grep -c ' Splash shown\$' '$log') = \$(grep -c ' Splash hidden\$' '$log') ]"
  h=$(count " Splash hidden$")
  film_start
  type_keys F10
  hidden_again "$h"
  film_stop
  frames >"$work/frames.txt"
  first=$(awk '$2 > 0.02 { print $2; exit }' "$work/frames.txt")
  echo "first frame ${first:-none}; all: $(awk '{ print $2 }' "$work/frames.txt" | xargs)"
  awk -v a="${first:-0}" 'BEGIN { exit !(a <= 0.95) }'
}
# fade_frames N: films N fade-ins; fails when any of them began with an opaque frame.
fade_frames() {
  local n=$1 i opaque=0
  for ((i = 1; i <= n; i++)); do
    printf 'fade-in %d: ' "$i"
    film_fade_in || opaque=$((opaque + 1))
  done
  echo "fade-ins whose first frame shows the display opaque: $opaque of $n"
  [ "$opaque" = 0 ]
}
step "every frame of ${BRISEL_FADE_FRAMES:-3} fade-ins: the display is never shown opaque"
fade_frames "${BRISEL_FADE_FRAMES:-3}" || fail "a fade-in began with an opaque frame"

quit_brisel() {
  as_user "$brisel" --quit || fail "--quit"
  wait "$brisel_pid" || fail "brisel ended with status $?"
  [ "$(wc -l <"$work/brisel.err")" = 1 ] && [ ! -s "$work/brisel.out" ] ||
    fail "brisel wrote: $(cat "$work/brisel.out" "$work/brisel.err")"
}
step "brisel --quit ends it; it wrote nothing but the hint"
quit_brisel

step "Brisel started anew: the display's very first fade-in, filmed where it shows, starts faint"
run_brisel_on_wayland
wait_for 10 test -s "$log" || fail "brisel did not start"
film_fade_in || fail "the first fade-in began with an opaque frame"
quit_brisel

step "the setup dialog on Xwayland takes the focus; typed into, it shows what was typed"
# One frame of the screen cast (1024 x 768 RGB rows: no padding) as a PPM.
shoot() {
  "${as[@]}" gst-launch-1.0 -q pipewiresrc path="$node" num-buffers=1 always-copy=true ! videoconvert ! \
    video/x-raw,format=RGB ! filesink location="$home/frame.rgb" >"$work/gst.log" 2>&1 &&
    { printf 'P6\n1024 768\n255\n' && cat "$home/frame.rgb"; } >"$1"
}
dialog_shows_typing
window_has_focus || fail "the Wayland window did not get the focus back"
echo "gnome: all checks passed"

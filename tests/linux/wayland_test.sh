#!/usr/bin/env bash
# Brisel on a Wayland desktop: sway's headless backend with Xwayland, a Wayland terminal holding
# the keyboard focus, and sway's own key bindings running `brisel --key up|down|mute`. Brisel's
# keys are F10, F9 and F7; sway binds F10, F9 and F8. The keys are pressed with wtype, which
# speaks Wayland (an X tool's keys would reach Xwayland whatever has the focus); a grim
# screenshot shows what the desktop shows (the display's look, and last what is typed into the
# setup dialog).
#   wayland_test.sh BRISEL BRISEL_SIM XPROBE
# sway refuses to run as root: as root the test makes a throwaway user and runs every program of
# the session as that user, and removes the user at the end. Exit status 77 (skipped) only where
# sway or Xwayland is not installed, or sway cannot start at all.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
brisel_build=$(realpath "$1") sim=$(realpath "$2") xprobe_build=$(realpath "$3")
work=$(mktemp -d /tmp/brisel-wayland.XXXXXX)
export BRISEL_SESSION=$work
. "$here/wayland_lib.sh"
trap cleanup EXIT
for tool in sway Xwayland; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done
for tool in wtype grim weston-terminal pulseaudio pactl xwininfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test.sh installs it)"
done
desktop_user brisel-wl
# The build tree may not be readable by the user: the programs it runs are copied.
install -m 755 "$brisel_build" "$work/bin/brisel"
install -m 755 "$xprobe_build" "$work/bin/xprobe"
brisel=$work/bin/brisel xprobe=$work/bin/xprobe
user_env

step "a sound server, and sway with Xwayland and the three bindings, as $(as_user id -un)"
"${as[@]}" pulseaudio --daemonize=no --exit-idle-time=-1 -n -L module-null-sink -L module-native-protocol-unix \
  >"$work/pulse.log" 2>&1 &
pids+=($!)
wait_for 10 as_user pactl info || { cat "$work/pulse.log"; fail "the sound server did not start"; }
as_user pactl set-sink-volume @DEFAULT_SINK@ 0%  # Brisel starts from here: the steps count from the bottom
backdrop=e03c8c
cat >"$work/sway.config" <<EOF
xwayland enable
exec sh -c 'env > $home/sway.env.new && mv $home/sway.env.new $home/sway.env'
bindsym F10 exec $brisel --key up
bindsym F9 exec $brisel --key down
bindsym F8 exec $brisel --key mute
# A desktop of one flat colour that no pixel of the display's picture has, and the terminal
# clear of the display: a screenshot tells the display's blended pixels from what is behind it.
output * bg #$backdrop solid_color
for_window [app_id="org.freedesktop.weston.wayland-terminal"] floating enable, resize set 300 200, move position 0 0
EOF
chmod 644 "$work/sway.config"
"${as[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.config" \
  >"$work/sway.log" 2>&1 &
sway_pid=$!
pids+=($sway_pid)
wait_for 10 bash -c "[ -s '$home/sway.env' ] || ! kill -0 $sway_pid" || { cat "$work/sway.log"; fail "sway did not start"; }
if [ ! -s "$home/sway.env" ]; then cat "$work/sway.log"; skip "sway cannot start here"; fi
for v in WAYLAND_DISPLAY DISPLAY SWAYSOCK; do
  value=$(sed -n "s/^$v=//p" "$home/sway.env")
  [ -n "$value" ] || fail "sway's session has no $v"
  session_env+=("$v=$value")
  echo "$v=$value"
done
user_env

step "a Wayland terminal takes the keyboard focus"
"${as[@]}" sh -c 'cd "$HOME" && exec weston-terminal' >"$work/terminal.log" 2>&1 &
pids+=($!)
typed=0
# A command typed into the terminal runs: the Wayland window has the focus. wtype sends its own
# key map before the keys, and a letter sent right after it may be lost: it waits, and tries again.
terminal_has_focus() {
  for _ in 1 2 3; do
    typed=$((typed + 1))
    as_user wtype -s 150 -d 10 "touch typed-$typed" -k Return
    wait_for 3 test -e "$home/typed-$typed" 2>/dev/null && return 0
  done
  return 1
}
wait_for 10 as_user swaymsg -t get_tree >/dev/null
terminal_has_focus || fail "nothing typed reached the terminal"

step "--autostart works as anywhere else"
as_user "$brisel" --autostart on --up F10 --down F9 --mute F7 >"$work/out" 2>&1 || fail "--autostart: $(cat "$work/out")"
grep -qxF "Exec=$brisel --run --up F10 --down F9 --mute F7" "$home/.config/autostart/brisel.desktop" ||
  fail "autostart entry: $(cat "$home/.config/autostart/brisel.desktop")"

step "brisel --run on Xwayland: one line says how to bind the keys"
run_brisel_on_wayland
terminal_has_focus || fail "brisel took the focus"


step "F10 in the terminal: sway runs brisel --key up, the volume steps and the display shows"
# The sink gets the percent of the level each press leads to: 1 + 1.25 x press, a half to even.
expected=(2 4 5)
printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/expected.bmp" |
  "$sim" >/dev/null
shown=0
# The display over the desktop's colour: translucent (its middle a blend) and rounded (its corners
# the desktop's), as the simulator draws it.
looks_right() {
  as_user grim -t ppm - >"$work/shot.ppm"
  still=$([ "$(count " Splash hidden$")" = "$h" ] && echo yes || echo no)
  /usr/bin/python3 "$here/look.py" "$work/shot.ppm" "$x" "$y" "$work/expected.bmp" "$backdrop" >"$work/look" ||
    [ "$still" = no ]
}
for press in 1 2 3; do  # levels 1 to 3 show the same picture
  h=$(count " Splash hidden$")
  as_user wtype -k F10
  wait_for 5 volume_is "${expected[press - 1]}"
  wait_for 5 traced "Splash shown" "$press"
  display_place
  # Shown is not yet faded in: shots until one shows it at its full opacity, while it is up.
  wait_for 5 looks_right || true
  if [ "$still" = yes ]; then
    /usr/bin/python3 "$here/look.py" "$work/shot.ppm" "$x" "$y" "$work/expected.bmp" "$backdrop" >"$work/look" &&
      { shown=1; break; }
    cp "$work/shot.ppm" /tmp/brisel-wayland-shot.ppm
    fail "the display at $x,$y is not translucent and rounded: $(cat "$work/look") (/tmp/brisel-wayland-shot.ppm)"
  fi
  hidden_again "$h"  # it faded out before a screenshot caught it: press again
done
[ "$shown" = 1 ] || fail "no screenshot caught the display"
echo "the display over the desktop: $(cat "$work/look")"
terminal_has_focus || fail "the display took the focus"
hidden_again "$h"

step "F7, Brisel's mute key, typed into the terminal is not heard; then ten F10 in a row: ten steps"
writes=$(volume_writes) h=$(count " Splash hidden$") muted=$(mutes)
as_user wtype -k F7 -k Return  # the terminal's shell gets F7's characters: an empty command
as_user wtype -k F10 -k F10 -k F10 -k F10 -k F10 -k F10 -k F10 -k F10 -k F10 -k F10
wait_for 10 bash -c "[ \$(grep -c ' mixerSetControlDetails [0-9]* 11 ' '$log') -ge $((writes + 10)) ]"
hidden_again "$h"  # by then a heard F7 would have muted, 100 ms after its press
[ "$(volume_writes)" = $((writes + 10)) ] || fail "$(( $(volume_writes) - writes )) steps for 10 presses"
[ "$(mutes)" = "$muted" ] || fail "Brisel heard F7 while a Wayland window had the focus"
level=$((press + 10))

step "F9 steps down, F8 (brisel --key mute) mutes and unmutes"
as_user wtype -k F9
down=$(percent_at $((level - 1)))
wait_for 5 volume_is "$down"
as_user wtype -k F8
wait_for 5 mute_is yes
as_user wtype -k F8
wait_for 5 mute_is no
[ "$(sink_volume)" = "$down" ] || fail "the mute key changed the volume"

step "with an X window focused, a bound key steps once (Xwayland does not hear it too), and F7 is heard"
at_rest() { [ "$(count " Splash shown$")" = "$(count " Splash hidden$")" ]; }
wait_for 5 at_rest
"${as[@]}" "$xprobe" hold-focus >"$work/holder" &
holder_pid=$!
pids+=($holder_pid)
wait_for 5 test -s "$work/holder"
x_focused() { [ "$(as_user "$xprobe" focus)" = "$(cat "$work/holder")" ]; }
wait_for 5 x_focused || fail "the X window did not take the focus"
writes=$(volume_writes) h=$(count " Splash hidden$")
as_user wtype -k F10
hidden_again "$h"
[ "$(volume_writes)" = $((writes + 1)) ] || fail "$(( $(volume_writes) - writes )) steps for one press"
# wtype sends its key map first; Xwayland may lose a key that follows it at once.
as_user wtype -s 150 -k F7
wait_for 5 mute_is yes
as_user wtype -s 150 -k F7
wait_for 5 mute_is no
kill "$holder_pid"
wait "$holder_pid" 2>/dev/null || true
terminal_has_focus || fail "the terminal did not get the focus back"

step "brisel --quit ends it; it wrote nothing but the hint"
as_user "$brisel" --quit || fail "--quit"
wait "$brisel_pid" || fail "brisel ended with status $?"
[ "$(wc -l <"$work/brisel.err")" = 1 ] && [ ! -s "$work/brisel.out" ] ||
  fail "brisel wrote: $(cat "$work/brisel.out" "$work/brisel.err")"

step "the setup dialog on Xwayland: typed into, it shows what was typed"
# Keys are typed with wtype -k KEY, characters as text; after its key map, wtype waits.
type_keys() { local k a=(); for k; do if [ ${#k} = 1 ]; then a+=("$k"); else a+=(-k "$k"); fi; done; as_user wtype -s 150 "${a[@]}"; }
shoot() { as_user grim -t ppm - >"$1"; }
dialog_shows_typing
terminal_has_focus || fail "the terminal did not get the focus back"
echo "wayland: all checks passed"

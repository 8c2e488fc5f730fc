#!/usr/bin/env bash
# Brisel on sway (headless, with Xwayland), whose bindings run `brisel --key up|down|mute` for F10,
# F9 and F8 (Brisel's own keys: F10, F9, F7). Keys are typed with wtype, which speaks Wayland (an X
# tool's keys would reach Xwayland whatever has the focus); screenshots come from grim.
#   wayland_test.sh BRISEL BRISEL_SIM XPROBE   (skipped where sway cannot run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/wayland_lib.sh"
for tool in sway Xwayland; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done
begin brisel-wl "$@"
# Keys as wtype -k KEY, characters as text; after its key map wtype waits, or a key may be lost.
type_keys() { local k a=(); for k; do if [ ${#k} = 1 ]; then a+=("$k"); else a+=(-k "$k"); fi; done; as_user wtype -s 150 "${a[@]}"; }
shoot() { as_user grim -t ppm - >"$1"; }
# Every wtype brings a keyboard of its own, and with it a focus out and in: only typing tells.
kept_focus() { window_has_focus || fail "$1 took the focus"; }

step "sway with Xwayland and the three bindings; a flat-coloured Wayland window takes the focus"
printf 'xwayland enable\nexec %s\nbindsym F10 exec %s --key up\nbindsym F9 exec %s --key down
bindsym F8 exec %s --key mute\n' "$session_command" "$brisel" "$brisel" "$brisel" >"$work/sway.config"
"${as[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$work/sway.config" \
  >"$work/sway.log" 2>&1 &
pids+=($!)
desktop_up $! || { cat "$work/sway.log"; skip "sway cannot start here"; }

step "brisel --run on Xwayland: one line says how to bind the keys"
start_brisel
step "F7 typed into the Wayland window is not heard; F10 (brisel --key up) steps, shows the display, ten in a row step ten times; F9 down, F8 mutes and unmutes"
bound_keys F10 F9 F8

step "with an X window focused, a bound key steps once (Xwayland does not hear it too), and F7 is heard"
"${as[@]}" "$xprobe" hold-focus >"$work/holder" &
pids+=($!) holder=$!
wait_for 5 eval '[ -s "$work/holder" ] && [ "$("$xprobe" focus)" = "$(cat "$work/holder")" ]' || fail "the X window did not take the focus"
mark
press_up F10
steps_are 1
typed F7 "F7 did not mute" mute_is yes
typed F7 "F7 did not unmute" mute_is no
kill "$holder"
window_has_focus || fail "the Wayland window did not get the focus back"

quit_and_dialog

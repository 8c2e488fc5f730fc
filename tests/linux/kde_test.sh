#!/usr/bin/env bash
# Brisel on KDE Plasma's compositor: kwin_wayland 5.27, virtual, with Xwayland. Keys go through
# KWin's fake input protocol (kwin_keys.c), screenshots through its ScreenShot2 interface
# (kwin_shot.py). Brisel's own keys are dead in Wayland windows at KWin's default for legacy X11
# programs and heard at "All" (kwinrc [Xwayland] XwaylandEavesdrops=All).
#   kde_test.sh BRISEL BRISEL_SIM XPROBE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/wayland_lib.sh"
[ -x /usr/bin/kwin_wayland ] || skip "kwin_wayland is not installed"
begin brisel-kde "$@"
# The installed kwin_wayland carries a file capability that a container may be unable to grant
# (then even root gets EPERM): a copy carries none.
install -m 755 /usr/bin/kwin_wayland "$work/bin/kwin_wayland"
wayland-scanner client-header /usr/share/plasma-wayland-protocols/fake-input.xml "$work/fake-input-client-protocol.h"
wayland-scanner private-code /usr/share/plasma-wayland-protocols/fake-input.xml "$work/fake-input-protocol.c"
# shellcheck disable=SC2046
cc -O1 -I"$work" -o "$work/bin/kwin_keys" "$here/kwin_keys.c" "$work/fake-input-protocol.c" \
  $(pkg-config --cflags --libs wayland-client) || fail "kwin_keys did not build"

step "System Settings' Shortcuts, Command or Script…: F11, F12 and F8 bound to brisel --key"
# What the page keeps for each command: a hidden application entry, and its key in
# kglobalshortcutsrc. KWin's shortcut service reads them as it starts, as at login.
mkdir -p "$home/.config" "$home/.local/share/applications"
for k in up:F11 down:F12 mute:F8; do
  entry=net.local.brisel-${k%:*}.desktop
  printf '[Desktop Entry]\nType=Application\nName=brisel --key %s\nExec=brisel --key %s\nNoDisplay=true\n' \
    "${k%:*}" "${k%:*}" >"$home/.local/share/applications/$entry"
  printf '[%s]\n_k_friendly_name=brisel --key %s\n_launch=%s,none,brisel --key %s\n\n' \
    "$entry" "${k%:*}" "${k#*:}" "${k%:*}" >>"$home/.config/kglobalshortcutsrc"
done
[ -z "$user" ] || chown -R "$user:" "$home/.config" "$home/.local"

step "kwin_wayland, virtual, with Xwayland; its session: a flat-coloured Wayland window, which takes the focus"
"${as[@]}" KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 XDG_CURRENT_DESKTOP=KDE \
  "$work/bin/kwin_wayland" --virtual --xwayland --width 1024 --height 768 --no-lockscreen --exit-with-session \
  "$session_command" >"$work/kwin.log" 2>&1 &
pids+=($!)
desktop_up $! || fail "kwin_wayland ended"
helper "$work/bin/kwin_keys"
declare -A keys=([a]=30 [F7]=65 [F8]=66 [F9]=67 [F10]=68 [F11]=87 [F12]=88 [BackSpace]=14 [1]=2)  # evdev codes
shoot() { as_user /usr/bin/python3 "$work/bin/kwin_shot.py" "$1"; }

step "brisel --run on Xwayland: one line says how to bind the keys"
start_brisel
step "at KWin's default, F10 and F7 typed into the Wayland window are not heard; F11 (brisel --key up) steps, shows the display, ten one after another step ten times; F12 down, F8 mutes and unmutes"
wait_for 10 eval 'as_user gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
  --method org.kde.KGlobalAccel.allComponents | grep -q net_local_brisel_mute_desktop' || fail "KWin did not read the bindings"
bound_keys F11 F12 F8 one-by-one

step "kwinrc [Xwayland] XwaylandEavesdrops=All, applied live: Brisel's own keys work in the Wayland window"
as_user sh -c 'printf "[Xwayland]\nXwaylandEavesdrops=All\n" >>"$HOME/.config/kwinrc"'
as_user gdbus call --session --dest org.kde.KWin --object-path /KWin --method org.kde.KWin.reconfigure >/dev/null
mark
tries=0
# The setting takes effect as KWin reads it again: F10 until one is heard.
heard() { tries=$((tries + 1)); type_keys F10 && wait_for 1 volume_is "$(percent_at $((level + 1)))"; }
wait_for 10 heard || fail "F10 typed into the Wayland window was not heard"
echo "heard at the F10 number $tries after the change"
level=$((level + 1))
press_up F10 F10 F10
down_mute_unmute F9 F7
steps_are 5

quit_and_dialog

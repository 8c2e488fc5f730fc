#!/usr/bin/env bash
# Brisel on KDE Plasma's compositor: kwin_wayland 5.27 on a virtual screen with Xwayland, and
# PipeWire's sound server. A flat-coloured Wayland window holds the keyboard focus; keys are typed
# through KWin's fake input protocol (tests/linux/kwin_keys.c, built here), screenshots come from
# KWin's ScreenShot2 interface. KWin's setting for legacy X11 programs decides whether Xwayland
# hears keys typed into Wayland windows: at its default (kwinrc [Xwayland] XwaylandEavesdrops=None)
# Brisel's own keys are dead there; at "All" they work. Keys bound in Plasma's Shortcuts settings
# to `brisel --key` (KWin's own shortcut service runs them) work either way. Last, the setup
# dialog: what is typed into it shows.
#   kde_test.sh BRISEL BRISEL_SIM XPROBE
# As root it runs the session as a throwaway user, removed at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
brisel_build=$(realpath "$1") sim=$(realpath "$2") xprobe_build=$(realpath "$3")
work=$(mktemp -d /tmp/brisel-kde.XXXXXX)
export BRISEL_SESSION=$work
. "$here/wayland_lib.sh"
trap cleanup EXIT
[ -x /usr/bin/kwin_wayland ] || skip "kwin_wayland is not installed"
for tool in wayland-scanner cc pkg-config dbus-daemon gdbus pipewire wireplumber pipewire-pulse pactl xwininfo \
  /usr/bin/python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test.sh installs it)"
done
protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
[ -f "$protocol" ] || fail "$protocol is missing (plasma-wayland-protocols; scripts/test.sh installs it)"

desktop_user brisel-kde
install -m 755 "$brisel_build" "$work/bin/brisel"
install -m 755 "$xprobe_build" "$work/bin/xprobe"
install -m 755 "$here/backdrop.py" "$here/kwin_shot.py" "$work/bin/"
# The installed kwin_wayland carries a file capability that a container may be unable to grant
# (then even root gets EPERM): a copy carries none.
install -m 755 /usr/bin/kwin_wayland "$work/bin/kwin_wayland"
brisel=$work/bin/brisel xprobe=$work/bin/xprobe
# The key sender, from the protocol's description.
mkdir "$work/keys"
wayland-scanner client-header "$protocol" "$work/keys/fake-input-client-protocol.h"
wayland-scanner private-code "$protocol" "$work/keys/fake-input-protocol.c"
# shellcheck disable=SC2046
cc -O1 -I"$work/keys" -o "$work/bin/kwin_keys" "$here/kwin_keys.c" "$work/keys/fake-input-protocol.c" \
  $(pkg-config --cflags --libs wayland-client) || fail "kwin_keys did not build (libwayland-dev)"
user_env

step "a session bus, PipeWire's sound server, as $(as_user id -un)"
bus_daemon DBUS_SESSION_BUS_ADDRESS
start_pipewire

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

step "kwin_wayland, virtual, with Xwayland; its session: a flat-coloured Wayland window"
backdrop=e03c8c  # a pink that no pixel of the display's picture has
# The window, started by KWin, gets the session's environment (the Wayland and X displays).
"${as[@]}" KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 XDG_CURRENT_DESKTOP=KDE \
  "$work/bin/kwin_wayland" --virtual --xwayland --width 1024 --height 768 --no-lockscreen --exit-with-session \
  "sh -c 'env >$home/kwin.env.new && mv $home/kwin.env.new $home/kwin.env && GDK_BACKEND=wayland exec /usr/bin/python3 $work/bin/backdrop.py $backdrop >$home/backdrop.out 2>$home/backdrop.err'" \
  >"$work/kwin.log" 2>&1 &
kwin_pid=$!
pids+=($kwin_pid)
wait_for 20 bash -c "[ -s '$home/kwin.env' ] || ! kill -0 $kwin_pid" || { cat "$work/kwin.log"; fail "kwin_wayland did not start"; }
[ -s "$home/kwin.env" ] || { cat "$work/kwin.log"; fail "kwin_wayland ended"; }
for v in WAYLAND_DISPLAY DISPLAY XAUTHORITY; do
  value=$(sed -n "s/^$v=//p" "$home/kwin.env")
  [ -n "$value" ] || [ "$v" = XAUTHORITY ] || fail "KWin's session has no $v"
  [ -z "$value" ] || session_env+=("$v=$value")
  echo "$v=$value"
done
user_env
wait_for 10 as_user xwininfo -root || fail "Xwayland does not answer"

step "the Wayland window takes the keyboard focus; keys typed through KWin's fake input"
coproc keys { exec "${as[@]}" "$work/bin/kwin_keys" 2>"$work/keys.log"; }
pids+=($keys_PID)
answer() { local line; read -r -t 10 -u "${keys[0]}" line || { cat "$work/keys.log"; fail "kwin_keys did not answer"; }; echo "$line"; }
[ "$(answer)" = ready ] || fail "kwin_keys: $(cat "$work/keys.log")"
# Linux input event codes.
declare -A code=([a]=30 [F7]=65 [F8]=66 [F9]=67 [F10]=68 [F11]=87 [F12]=88 [BackSpace]=14 [1]=2)
type_keys() { local k ks=(); for k; do ks+=("${code[$k]}"); done; echo "key ${ks[*]}" >&"${keys[1]}"; [ "$(answer)" = ok ]; }
wait_for 10 grep -qx "focus in" "$home/backdrop.out" || { cat "$home/backdrop.err" "$work/kwin.log"; fail "the Wayland window did not get the focus"; }
window_has_focus() { backdrop_has_focus "$home/backdrop.out"; }
window_has_focus || fail "a key typed did not reach the Wayland window"

step "brisel --run on Xwayland: one line says how to bind the keys"
run_brisel_on_wayland
wait_for 10 test -s "$log" || fail "brisel did not start"
window_has_focus || fail "brisel took the focus"


step "at KWin's default for legacy X11 programs, F10 and F7 typed into the Wayland window are not heard"
grep -s XwaylandEavesdrops "$home/.config/kwinrc" && fail "kwinrc already has the setting"
h=$(count " Splash hidden$") writes=$(volume_writes) muted=$(mutes)
type_keys F10 F7
# A press from the command line afterwards: once its display is gone, a heard F10 or F7 would
# have long written the volume or the mute.
as_user "$brisel" --key up || fail "brisel --key up"
wait_for 5 volume_is "$(percent_at 1)" || fail "brisel --key up did not step"
wait_for 5 traced "Splash shown" 1

step "the display is translucent and rounded over the Wayland window, and does not take the focus"
printf 'start\nwait 300\nclick Run\nwait 300\ntap 175\nwait 10\nsnapshot Splash %s\n' "$work/expected.bmp" |
  "$sim" >/dev/null
display_place
echo "the display at $x,$y"
# Shown is not yet faded in: screenshots until one shows it at its full opacity, while it is up.
look="no screenshot" still=yes
looks_right() {
  as_user /usr/bin/python3 "$work/bin/kwin_shot.py" "$home/shot.ppm" 2>"$work/shot.err" ||
    { look="no screenshot: $(cat "$work/shot.err")"; return 1; }
  still=$([ "$(count " Splash hidden$")" = "$h" ] && echo yes || echo no)
  look=$(/usr/bin/python3 "$here/look.py" "$home/shot.ppm" "$x" "$y" "$work/expected.bmp" "$backdrop") || [ "$still" = no ]
}
shots=0
counted() { shots=$((shots + 1)); looks_right; }
wait_for 5 counted || true
echo "$look ($shots screenshots)"
if [ "$still" = no ] || ! /usr/bin/python3 "$here/look.py" "$home/shot.ppm" "$x" "$y" "$work/expected.bmp" "$backdrop" >/dev/null; then
  cp "$home/shot.ppm" /tmp/brisel-kde-shot.ppm 2>/dev/null || true
  fail "the display is not translucent and rounded in the screenshot (/tmp/brisel-kde-shot.ppm): $look"
fi
hidden_again "$h"
[ "$(volume_writes)" = $((writes + 1)) ] || fail "$(( $(volume_writes) - writes - 1 )) steps from the typed F10"
[ "$(mutes)" = "$muted" ] || fail "Brisel heard F7 while a Wayland window had the focus"
! grep -qx "focus out" "$home/backdrop.out" || fail "the Wayland window lost the focus"
window_has_focus || fail "the display took the focus"

step "F11 typed into the Wayland window: KWin runs brisel --key up; then ten more: ten steps"
components=
bindings_read() {
  components=$(as_user gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel \
    --method org.kde.KGlobalAccel.allComponents) && grep -q net_local_brisel_mute_desktop <<<"$components"
}
wait_for 10 bindings_read || fail "KWin's shortcut service did not read the bindings: $components"
writes=$(volume_writes) h=$(count " Splash hidden$")
started=$(date +%s%N)
type_keys F11
wait_for 5 volume_is "$(percent_at 2)" || fail "F11 did not step"
echo "the output stepped $(( ($(date +%s%N) - started) / 1000000 )) ms after the key"
# One at a time, each once the last has stepped: KWin runs a shortcut's command once for
# presses that reach it together.
for n in $(seq 3 12); do
  type_keys F11
  wait_for 5 volume_is "$(percent_at "$n")" || fail "F11 number $((n - 1)): $(( $(volume_writes) - writes )) steps"
done

step "F12 (brisel --key down) steps down, F8 (brisel --key mute) mutes and unmutes"
down_mute_unmute F12 F8 11 "$home/backdrop.out"
hidden_again "$h"
[ "$(volume_writes)" = $((writes + 12)) ] || fail "$(( $(volume_writes) - writes )) steps for 12 presses"

step "kwinrc [Xwayland] XwaylandEavesdrops=All, applied live: Brisel's own keys work in the Wayland window"
printf '[Xwayland]\nXwaylandEavesdrops=All\n' >>"$home/.config/kwinrc"
[ -z "$user" ] || chown "$user:" "$home/.config/kwinrc"
as_user gdbus call --session --dest org.kde.KWin --object-path /KWin --method org.kde.KWin.reconfigure >/dev/null
h=$(count " Splash hidden$")
# The setting takes effect as KWin reads it again: F10 until one is heard.
tries=0
heard() { tries=$((tries + 1)); type_keys F10 && wait_for 1 volume_is "$(percent_at 12)"; }
wait_for 10 heard || fail "F10 typed into the Wayland window was not heard"
echo "heard at the F10 number $tries after the change"
hidden_again "$h"
writes=$(volume_writes) h=$(count " Splash hidden$")
type_keys F10 F10 F10
wait_for 5 volume_is "$(percent_at 15)" || fail "three F10: $(( $(volume_writes) - writes )) steps"
down_mute_unmute F9 F7 14 "$home/backdrop.out"
hidden_again "$h"
[ "$(volume_writes)" = $((writes + 4)) ] || fail "$(( $(volume_writes) - writes )) steps for 4 presses"

step "brisel --quit ends it; it wrote nothing but the hint"
as_user "$brisel" --quit || fail "--quit"
wait "$brisel_pid" || fail "brisel ended with status $?"
[ "$(wc -l <"$work/brisel.err")" = 1 ] && [ ! -s "$work/brisel.out" ] ||
  fail "brisel wrote: $(cat "$work/brisel.out" "$work/brisel.err")"

step "the setup dialog on Xwayland takes the focus; typed into, it shows what was typed"
shoot() { as_user /usr/bin/python3 "$work/bin/kwin_shot.py" "$1"; }
dialog_shows_typing
window_has_focus || fail "the Wayland window did not get the focus back"
echo "kde: all checks passed"

// The Linux program's own part of --help: the recipes for Wayland desktops, and how Brisel looks
// there. The README and the manual page carry each of these sentences word for word
// (tests/docs_test.py): this text is where they are written first.
#pragma once

#include <string_view>

namespace brisel::linux_x11 {

// Said once "Run" has handed over, in a Wayland session.
inline constexpr const char* kWaylandHint =
    "brisel: on Wayland the keys work only while an X11 window has the focus: bind 'brisel --key up', "
    "'brisel --key down' and 'brisel --key mute' to keys in the desktop's keyboard settings (brisel --help)";

// A Wayland desktop shows a program only the keys typed into its own windows: there the
// desktop's own shortcuts press Brisel's keys.
inline constexpr std::string_view kWaylandHelp = R"(
On a Wayland desktop (GNOME, KDE Plasma, sway) Brisel runs on Xwayland and sees its keys only
while one of the desktop's X11 programs has the focus. Bind the keys to brisel --key up,
brisel --key down and brisel --key mute in the desktop's own keyboard shortcuts instead.

GNOME: Settings, Keyboard, View and Customize Shortcuts, Custom Shortcuts, "+": one shortcut
per command. Or in a terminal, here with F10, F9 and F8 (the first gsettings replaces the list
of custom shortcuts: add any you already have to it):
    s=org.gnome.settings-daemon.plugins.media-keys
    d=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings
    gsettings set $s custom-keybindings "['$d/brisel-up/', '$d/brisel-down/', '$d/brisel-mute/']"
    for k in up:F10 down:F9 mute:F8; do
      r=${k%:*} p=$s.custom-keybinding:$d/brisel-${k%:*}/
      gsettings set $p name "Brisel $r"
      gsettings set $p command "brisel --key $r"
      gsettings set $p binding "${k#*:}"
    done

KDE Plasma: System Settings, Shortcuts, Add New, Command or Script…: brisel --key up, then
give it its key; the same for down and mute. Or let X programs read every key, and Brisel's
own keys work whichever window has the focus: System Settings, Applications, Legacy X11 App
Support, "Allow legacy X11 apps to read keystrokes typed in all apps": Always. Mind that this
lets every X program read everything you type, passwords too.

sway: in ~/.config/sway/config
    bindsym F10 exec brisel --key up
    bindsym F9 exec brisel --key down
    bindsym F8 exec brisel --key mute
    exec brisel --run --up F10 --down F9 --mute F8
sway does not read the autostart entry that --autostart writes; the exec line starts Brisel
with sway instead.

On each of these desktops the display is translucent and rounded, shows above the other
windows and never takes the focus.
)";

}  // namespace brisel::linux_x11

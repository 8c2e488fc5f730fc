// The Linux program's own part of --help: the recipes for Wayland desktops.
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
On a Wayland desktop (GNOME, KDE Plasma, sway) Brisel sees its keys only while one of the
desktop's X11 programs has the focus. Bind the keys to 'brisel --key up', 'brisel --key down'
and 'brisel --key mute' in the desktop's own keyboard shortcuts instead:
  GNOME  Settings, Keyboard, View and Customize Shortcuts, Custom Shortcuts, "+"; or in a
         terminal (the first line replaces the list of custom shortcuts you may already have):
    s=org.gnome.settings-daemon.plugins.media-keys; d=/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings
    gsettings set $s custom-keybindings "['$d/brisel-up/', '$d/brisel-down/', '$d/brisel-mute/']"
    for k in up:F10 down:F9 mute:F8; do r=${k%:*} p=$s.custom-keybinding:$d/brisel-${k%:*}/
      gsettings set $p name "Brisel $r"; gsettings set $p command "brisel --key $r"
      gsettings set $p binding "${k#*:}"; done
  KDE    System Settings, Shortcuts, Custom Shortcuts, Edit, New, Global Shortcut,
         Command/URL: the key under Trigger, 'brisel --key up' under Action; the same for down
         and mute
  sway   in ~/.config/sway/config:  bindsym F10 exec brisel --key up
         (and F9, F8 for down and mute), and  exec brisel --run --up F10 --down F9 --mute F8
)";

}  // namespace brisel::linux_x11

#include "app/command_line.h"

#include <algorithm>

#include "app/program.h"
#include "setup/config.h"

namespace brisel {

namespace {

struct OptionRow {
  std::string_view name;
  std::string_view value;  // the value's name; empty for an option without one
  std::string_view help;
  // Stores the option; false when the value is not one the option takes.
  bool (*set)(Options&, std::string_view value);
};

constexpr OptionRow kOptions[] = {
    {"--help", "", "print this help and exit", [](Options& o, std::string_view) { return o.help = true; }},
    {"--version", "", "print the version and exit", [](Options& o, std::string_view) { return o.version = true; }},
    {"--up", "NAME", "the volume-up key, as if typed into the dialog (\"F5\", \" +\")",
     [](Options& o, std::string_view name) { return (o.up = std::string(name), true); }},
    {"--down", "NAME", "the volume-down key, as if typed into the dialog",
     [](Options& o, std::string_view name) { return (o.down = std::string(name), true); }},
    {"--mute", "NAME", "the mute key, as if typed into the dialog",
     [](Options& o, std::string_view name) { return (o.mute = std::string(name), true); }},
    {"--run", "", "start working at once, without showing the dialog",
     [](Options& o, std::string_view) { return o.run = true; }},
    {"--key", "up|down|mute", "press that hot key in the Brisel running on this display, and exit",
     [](Options& o, std::string_view name) { return (o.key = HotKeyNamed(name)).has_value(); }},
    {"--quit", "", "end the Brisel running on this display and exit",
     [](Options& o, std::string_view) { return o.quit = true; }},
    {"--autostart", "on|off", "start 'brisel --run' (with the keys given) at login, or no longer; then exit",
     [](Options& o, std::string_view v) {
       if (v != "on" && v != "off") return false;
       o.autostart = v == "on";
       return true;
     }},
    {"--trace", "FILE", "append a line to FILE for every volume write and window change",
     [](Options& o, std::string_view file) { return (o.trace = std::string(file), true); }},
};

// --quit and --key stand alone; --autostart takes the keys (and --run, which its entry has anyway).
std::string Conflict(const Options& o) {
  if (o.help || o.version) return {};
  const bool keys = o.up || o.down || o.mute;
  if (o.quit && (keys || o.run || o.autostart || o.trace || o.key)) return "option '--quit' takes no other options";
  if (o.key && (keys || o.run || o.autostart || o.trace)) return "option '--key' takes no other options";
  if (o.autostart && o.trace) return "option '--autostart' cannot be combined with '--trace'";
  return {};
}

// A Wayland desktop shows a program only the keys typed into its own windows: there the
// desktop's own shortcuts press Brisel's keys.
constexpr std::string_view kWaylandHelp = R"(
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

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> args) {
  ParsedCommandLine out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const OptionRow* row = nullptr;
    for (const OptionRow& r : kOptions)
      if (args[i] == r.name) row = &r;
    if (!row) {
      out.error = "unknown option '" + std::string(args[i]) + "'";
      return out;
    }
    std::string_view value;
    if (!row->value.empty()) {
      if (i + 1 == args.size()) {
        out.error = "option '" + std::string(row->name) + "' needs " + std::string(row->value);
        return out;
      }
      value = args[++i];
    }
    if (!row->set(out.options, value)) {
      out.error = "option '" + std::string(row->name) + "' takes " + std::string(row->value) + ", not '" +
                  std::string(value) + "'";
      return out;
    }
  }
  out.error = Conflict(out.options);
  return out;
}

std::string Usage(std::string_view program) {
  std::string text = "Usage: " + std::string(program) + " [OPTION]...\n";
  text += "Volume up, down and mute on three keys of your choice, with an on-screen display.\n";
  text += "Without options it starts in the setup dialog.\n\n";
  for (const OptionRow& r : kOptions) {
    std::string left = "  ";
    left.append(r.name);
    if (!r.value.empty()) left.append(" ").append(r.value);
    left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
    text += left + std::string(r.help) + "\n";
  }
  text += kWaylandHelp;
  return text;
}

void StartProgram(Program& program, const Options& options) {
  ConfigForm& dialog = program.Config();
  const std::pair<std::string_view, const std::optional<std::string>*> names[] = {
      {"volumeup", &options.up}, {"volumedown", &options.down}, {"volumemute", &options.mute}};
  for (const auto& [selector, name] : names)
    if (*name) program.platform.windows.type(dialog.hWnd, selector, **name);
  if (options.run)
    program.click(dialog.hWnd, "Command1");
  else
    dialog.Show();
}

}  // namespace brisel

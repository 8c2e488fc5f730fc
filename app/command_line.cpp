#include "app/command_line.h"

#include <algorithm>

#include "app/program.h"
#include "setup/config.h"

namespace brisel {

namespace {

constexpr unsigned Bit(System s) { return 1u << static_cast<unsigned>(s); }
constexpr unsigned kEverywhere = Bit(System::Linux) | Bit(System::Windows);

struct OptionRow {
  unsigned systems;  // Bit() of each system that offers the option
  std::string_view name;
  std::string_view value;  // the value's name; empty for an option without one
  std::string_view help;
  // Stores the option; false when the value is not one the option takes.
  bool (*set)(Options&, std::string_view value);
};

constexpr OptionRow kOptions[] = {
    {kEverywhere, "--help", "", "print this help and exit",
     [](Options& o, std::string_view) { return o.help = true; }},
    {kEverywhere, "--version", "", "print the version and exit",
     [](Options& o, std::string_view) { return o.version = true; }},
    {kEverywhere, "--up", "NAME", "the volume-up key, as if typed into the dialog (\"F5\", \" +\")",
     [](Options& o, std::string_view name) { return (o.up = std::string(name), true); }},
    {kEverywhere, "--down", "NAME", "the volume-down key, as if typed into the dialog",
     [](Options& o, std::string_view name) { return (o.down = std::string(name), true); }},
    {kEverywhere, "--mute", "NAME", "the mute key, as if typed into the dialog",
     [](Options& o, std::string_view name) { return (o.mute = std::string(name), true); }},
    {kEverywhere, "--run", "", "start working at once, without showing the dialog",
     [](Options& o, std::string_view) { return o.run = true; }},
    {kEverywhere, "--key", "up|down|mute", "press that hot key in the Brisel running on this desktop, and exit",
     [](Options& o, std::string_view name) { return (o.key = HotKeyNamed(name)).has_value(); }},
    {kEverywhere, "--quit", "", "end the Brisel running on this desktop and exit",
     [](Options& o, std::string_view) { return o.quit = true; }},
    {kEverywhere, "--autostart", "on|off",
     "start 'brisel --run' (with the keys given) at login, or no longer; then exit",
     [](Options& o, std::string_view v) {
       if (v != "on" && v != "off") return false;
       o.autostart = v == "on";
       return true;
     }},
    {kEverywhere, "--trace", "FILE", "append a line to FILE for every volume write and window change",
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

}  // namespace

ParsedCommandLine ParseCommandLine(System system, std::span<const std::string_view> args) {
  ParsedCommandLine out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const OptionRow* row = nullptr;
    for (const OptionRow& r : kOptions)
      if (args[i] == r.name && (r.systems & Bit(system))) row = &r;
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

std::string Usage(System system, std::string_view program) {
  std::string text = "Usage: " + std::string(program) + " [OPTION]...\n";
  text += "Volume up, down and mute on three keys of your choice, with an on-screen display.\n";
  text += "Without options it starts in the setup dialog.\n\n";
  for (const OptionRow& r : kOptions) {
    if (!(r.systems & Bit(system))) continue;
    std::string left = "  ";
    left.append(r.name);
    if (!r.value.empty()) left.append(" ").append(r.value);
    left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
    text += left + std::string(r.help) + "\n";
  }
  return text;
}

std::string UsageError(std::string_view program, std::string_view error) {
  const std::string name(program);
  return name + ": " + std::string(error) + "\nTry '" + name + " --help' for more information.\n";
}

std::string AutostartCommand(std::string_view program, const Options& options,
                             std::string (*quote)(std::string_view arg)) {
  std::string command = quote(program) + " --run";
  const std::pair<std::string_view, const std::optional<std::string>*> keys[] = {
      {"--up", &options.up}, {"--down", &options.down}, {"--mute", &options.mute}};
  for (const auto& [option, name] : keys)
    if (*name) command.append(" ").append(option).append(" ").append(quote(**name));
  for (char c : command)
    if ((c >= 0 && c < 0x20) || c == 0x7f) return {};
  return command;
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

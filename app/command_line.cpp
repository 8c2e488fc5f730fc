#include "app/command_line.h"

#include <algorithm>

#include "app/program.h"
#include "base/key_table.h"
#include "resources/layout.h"
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

bool SetTrace(Options& o, std::string_view file) { return (o.trace = std::string(file), true); }

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
    // A FIFO is opened as Unix opens one: the program waits at start until a reader opens it
    // too. Windows has no FIFO to say this of.
    {Bit(System::Linux), "--trace", "FILE",
     "append a line to FILE for every volume write and window change (a FIFO: brisel waits at start "
     "until a reader opens it)",
     SetTrace},
    {Bit(System::Windows), "--trace", "FILE", "append a line to FILE for every volume write and window change",
     SetTrace},
};

// Each key option, the dialog's selector its name is typed into, and where Options keeps it.
struct KeyOption {
  std::string_view option;
  std::string_view selector;
  std::optional<std::string> Options::*name;
};
constexpr KeyOption kKeyOptions[] = {
    {"--up", "volumeup", &Options::up},
    {"--down", "volumedown", &Options::down},
    {"--mute", "volumemute", &Options::mute},
};

constexpr bool IsControl(char c) { return (c >= 0 && c < 0x20) || c == 0x7f; }

// A name as one line shows it: a control character would break the line.
std::string Printable(std::string_view text) {
  std::string out(text);
  std::replace_if(out.begin(), out.end(), IsControl, '?');
  return out;
}

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

std::string KeyNamesHelp() {
  std::string text = "\nKey names for --up, --down and --mute, as the dialog lists them (case and blanks count):\n";
  std::string line;
  int on_line = 0;
  for (const KeyRow& row : KeyTable()) {
    const std::string_view quote = row.name.find(' ') == std::string_view::npos ? "" : "\"";
    const std::string name = std::string(quote).append(row.name).append(quote);
    if (on_line == 8 || line.size() + 2 + name.size() > 78) {
      text += line + "\n";
      line.clear();
      on_line = 0;
    }
    line += "  " + name;
    ++on_line;
  }
  return text + line + "\n";
}

std::optional<int> CheckKeyNames(const Options& options,
                                 const std::function<void(Severity, const std::string& line)>& say) {
  if (options.autostart == false) return std::nullopt;  // the names are not used
  for (const KeyOption& key : kKeyOptions) {
    const std::optional<std::string>& name = options.*key.name;
    if (!name || KeyNamed(*name)) continue;
    std::string line = std::string("brisel: ").append(key.option).append(" ").append(Printable(*name));
    line.append(": no key has that name; ");
    if (options.autostart) {
      say(Severity::fail, line.append("the login entry is left as it was (the names: brisel --help)"));
      return 2;
    }
    line.append("the key stays \"").append(ConfigLayout().control(key.selector).text);
    say(Severity::warn, line.append("\" (the names: brisel --help)"));
  }
  return std::nullopt;
}

std::string AutostartCommand(std::string_view program, const Options& options,
                             std::string (*quote)(std::string_view arg)) {
  std::string command = quote(program) + " --run";
  for (const KeyOption& key : kKeyOptions)
    if (const auto& name = options.*key.name) command.append(" ").append(key.option).append(" ").append(quote(*name));
  return std::any_of(command.begin(), command.end(), IsControl) ? std::string() : command;
}

void StartProgram(Program& program, const Options& options) {
  ConfigForm& dialog = program.Config();
  for (const KeyOption& key : kKeyOptions)
    if (const auto& name = options.*key.name) program.platform.windows.type(dialog.hWnd, key.selector, *name);
  if (options.run)
    program.click(dialog.hWnd, "Command1");
  else
    dialog.Show();
}

}  // namespace brisel

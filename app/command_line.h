// The real programs' command line. No arguments: the setup dialog, as always. Each option is a
// row of one table, which names the systems that offer it and also writes the usage text: an
// option a system does not offer is an unknown option there, and its --help does not list it.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/hot_key.h"
#include "platform/failure.h"
#include "platform/platform.h"

namespace brisel {

class Program;

inline constexpr std::string_view kVersion = BRISEL_VERSION;

struct Options {
  bool help = false;
  bool version = false;
  std::optional<std::string> trace;  // append the trace to this file
  // Names put into the dialog's selectors as if the user had typed them.
  std::optional<std::string> up, down, mute;
  bool run = false;                  // "Run" at once; the dialog is never shown
  bool quit = false;                 // end the instance running on this display
  std::optional<HotKey> key;         // a press of that hot key, for the instance running on this display
  std::optional<bool> autostart;     // write (true) or remove (false) the autostart entry
};

// The systems the real programs run on.
enum class System { Linux, Windows };

struct ParsedCommandLine {
  Options options;
  std::string error;  // one line naming the offending argument; empty when all is well
};

ParsedCommandLine ParseCommandLine(System system, std::span<const std::string_view> args);

// The usage for --help: the options `system` offers, one a line.
std::string Usage(System system, std::string_view program);

// What a usage error prints on standard error: the error, and where to find the usage.
std::string UsageError(std::string_view program, std::string_view error);

// The end of --help: the key table's names, a few a line, in quotes where they hold a blank.
std::string KeyNamesHelp();

// The names given to --up, --down and --mute that match no key, matched as "Run" matches a
// selector's text (KeyNamed). Each is one line through `say`, and the program goes on with the
// key that stays, the selector's preset; but an autostart entry is not written with such a
// name: with --autostart on the first is refused, in one line, and the result is the exit
// status, 2. Nothing otherwise.
std::optional<int> CheckKeyNames(const Options& options,
                                 const std::function<void(Severity, const std::string& line)>& say);

// The command that starts `program` at login: --run and the keys among `options`, the program
// and each key name as `quote` writes an argument. Empty when the command would hold a control
// character, which neither a desktop entry's line nor a registry value should carry.
std::string AutostartCommand(std::string_view program, const Options& options,
                             std::string (*quote)(std::string_view arg));

// Process start as the command line asks. The start-up dialog is loaded (its load handler
// runs) and each name given is typed into its selector, as the user's typing reaches it
// (WindowSystem::type); then the dialog is shown, or with --run "Run" is clicked at once and
// the dialog hands over without ever being shown.
void StartProgram(Program& program, const Options& options);

}  // namespace brisel

// The user's autostart entry: a desktop entry that starts "brisel --run" at login, with the keys
// given on the same command line. Besides a --trace file, it is the only file Brisel writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/command_line.h"

namespace brisel {

// Where the entry lives: $XDG_CONFIG_HOME/autostart/brisel.desktop, or ~/.config/... when
// XDG_CONFIG_HOME is unset, empty or relative (relative paths are to be ignored). Nothing when
// neither gives an absolute folder. The arguments are the variables' values (nullptr: unset).
std::optional<std::filesystem::path> AutostartPath(const char* xdg_config_home, const char* home);

// One argument of an Exec line: quoted where it holds a reserved character or is empty, with
// `"`, `` ` ``, `$` and `\` escaped inside the quotes; every `%` doubled (field codes).
std::string ExecArgument(std::string_view arg);

// The entry's text, starting `program` with --run and the keys among `options`. Empty when an
// argument holds a control character, which an Exec line cannot carry.
std::string AutostartEntry(std::string_view program, const Options& options);

// Writes (on) or removes (off) the entry at `path`. A new entry replaces the old one at once
// (written beside it, flushed, renamed over it): a write that fails leaves the old one as it
// was. The folders it makes are the user's alone (0700). Returns the one line that says what
// was done, or an error's text in `error`.
std::string SetAutostart(const std::filesystem::path& path, bool on, const std::string& entry, std::string& error);

// --autostart on|off for this program, where the environment puts the entry: the line that
// says what was done; nothing when a key name holds a control character. An error is thrown
// (std::runtime_error, its text without "brisel: ").
std::optional<std::string> Autostart(const Options& options);

}  // namespace brisel

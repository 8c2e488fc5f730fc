// Start at login on Windows: the value "Brisel" under the user's
// HKCU\Software\Microsoft\Windows\CurrentVersion\Run, whose data is the command that starts this
// brisel.exe with --run and the keys given. Besides a --trace file, it is the only thing Brisel
// writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"

namespace brisel::win32 {

// One argument of a Windows command line, always in quotes, read back as itself by the C
// run-time's parser (and CommandLineToArgvW): a quote inside is escaped with a backslash, and
// the backslashes just before a quote are doubled.
std::string CommandLineArgument(std::string_view arg);

// --autostart on|off: writes or removes the value; the line that says what was done, nothing
// for a key name that the value cannot carry. A registry that refuses is a failure
// (platform/failure.h).
std::optional<std::string> Autostart(const Options& options);

}  // namespace brisel::win32

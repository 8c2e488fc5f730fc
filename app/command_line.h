// The real programs' command line. No arguments: the setup dialog, as always. Each option is a
// row of one table, which also writes the usage text.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brisel {

inline constexpr std::string_view kVersion = BRISEL_VERSION;

struct Options {
  bool help = false;
  bool version = false;
  std::optional<std::string> trace;  // append the trace to this file
};

struct ParsedCommandLine {
  Options options;
  std::string error;  // one line naming the offending argument; empty when all is well
};

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> args);

// The usage, one option a line, for --help and after an error.
std::string Usage(std::string_view program);

}  // namespace brisel

#include "app/command_line.h"

#include <algorithm>

namespace brisel {

namespace {

struct OptionRow {
  std::string_view name;
  std::string_view value;  // the value's name; empty for an option without one
  std::string_view help;
  void (*set)(Options&, std::string_view value);
};

constexpr OptionRow kOptions[] = {
    {"--help", "", "print this help and exit", [](Options& o, std::string_view) { o.help = true; }},
    {"--version", "", "print the version and exit", [](Options& o, std::string_view) { o.version = true; }},
    {"--trace", "FILE", "append a line to FILE for every volume write and window change",
     [](Options& o, std::string_view file) { o.trace = std::string(file); }},
};

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
    row->set(out.options, value);
  }
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
  return text;
}

}  // namespace brisel

#include "platform/program_start.h"

#include <cstdio>
#include <string>
#include <vector>

namespace brisel {

ProgramStart BeginProgram(int argc, char** argv, std::span<const std::string_view> unavailable) {
  ProgramStart start;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  start.cmd = ParseCommandLine(args);
  const Options& o = start.cmd.options;
  for (std::string_view option : unavailable) {
    const bool given = (option == "--quit" && o.quit) || (option == "--autostart" && o.autostart) ||
                       (option == "--key" && o.key);
    if (start.cmd.error.empty() && given)
      start.cmd.error = "option '" + std::string(option) + "' is not available on this system";
  }
  if (!start.cmd.error.empty()) {
    std::fprintf(stderr, "brisel: %s\n%s", start.cmd.error.c_str(), Usage("brisel").c_str());
    start.exit_status = 2;
  } else if (o.help) {
    std::fputs(Usage("brisel").c_str(), stdout);
    start.exit_status = 0;
  } else if (o.version) {
    std::printf("brisel %s\n", std::string(kVersion).c_str());
    start.exit_status = 0;
  } else if (o.trace) {
    std::string why;
    start.trace_file = TraceFile::Open(*o.trace, why);
    if (!start.trace_file) {
      std::fprintf(stderr, "brisel: cannot open the trace file \"%s\": %s\n", o.trace->c_str(), why.c_str());
      start.exit_status = 2;
    }
  }
  return start;
}

ProgramPlatform::ProgramPlatform(Platform& platform, TraceFile* trace_file)
    : platform_(platform),
      started_(platform.clock.now_ms()),
      sink_([this] { return platform_.clock.now_ms() - started_; },
            [trace_file](const std::string& line) { trace_file->write(line); }) {
  if (trace_file) traced_.emplace(platform_, sink_);
}

}  // namespace brisel

#include "platform/program_start.h"

#include <cstdio>
#include <string>
#include <vector>

namespace brisel {

ProgramStart BeginProgram(int argc, char** argv, System system, std::string_view more_help) {
  ProgramStart start;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  start.cmd = ParseCommandLine(system, args);
  const Options& o = start.cmd.options;
  if (!start.cmd.error.empty()) {
    std::fputs(UsageError("brisel", start.cmd.error).c_str(), stderr);
    start.exit_status = 2;
  } else if (o.help) {
    std::fputs((Usage(system, "brisel") + std::string(more_help) + KeyNamesHelp()).c_str(), stdout);
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

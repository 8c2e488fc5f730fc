#include "platform/program_start.h"

#include <cstdio>
#include <string>
#include <vector>

namespace brisel {

ProgramStart BeginProgram(int argc, char** argv, System system, std::string_view more_help,
                          const std::function<void(const std::string& text)>& say) {
  const auto error = [&say](std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (say) return say(text);
    std::fprintf(stderr, "%s\n", text.c_str());
  };
  ProgramStart start;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  start.cmd = ParseCommandLine(system, args);
  const Options& o = start.cmd.options;
  if (!start.cmd.error.empty()) {
    error(UsageError("brisel", start.cmd.error));
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
      error("brisel: cannot open the trace file \"" + *o.trace + "\": " + why);
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

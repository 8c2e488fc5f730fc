// The first steps of every real program, before it connects to anything: the command line is
// read as `system` offers it; a usage error (one line, and where to find the usage), --help and
// --version end the program there, with what they print; and
// --trace's file is opened, a file that cannot be opened ending it too. Errors go to `say`
// (the program host's failure sink; standard error when none is given). Then the platform the
// program runs on: the system's own, or with --trace the same one traced.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "platform/trace_file.h"

namespace brisel {

struct ProgramStart {
  ParsedCommandLine cmd;
  std::unique_ptr<TraceFile> trace_file;
  std::optional<int> exit_status;  // set: the program ends here, with this status
};

// `more_help`: the system's own text, printed by --help after the options. `say` is given the
// error's text without its last line break.
ProgramStart BeginProgram(int argc, char** argv, System system, std::string_view more_help = {},
                          const std::function<void(const std::string& text)>& say = {});

// The platform as the program sees it: with a trace file, every line stamped with the
// milliseconds since this object was made.
class ProgramPlatform {
 public:
  ProgramPlatform(Platform& platform, TraceFile* trace_file);
  ProgramPlatform(const ProgramPlatform&) = delete;
  ProgramPlatform& operator=(const ProgramPlatform&) = delete;
  Platform& get() { return traced_ ? traced_->platform : platform_; }

 private:
  Platform& platform_;
  std::uint64_t started_;
  TraceSink sink_;
  std::optional<TracedPlatform> traced_;
};

}  // namespace brisel

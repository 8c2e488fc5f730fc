// The first steps of every real program, before it connects to anything: the command line is
// read as `system` offers it; a usage error (one line, and where to find the usage), --help and
// --version end the program there, with what they print; and
// --trace's file is opened, a file that cannot be opened ending it too. Then the platform the
// program runs on: the system's own, or with --trace the same one traced.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/platform.h"
#include "platform/trace.h"
#include "platform/trace_file.h"

namespace brisel {

struct ProgramStart {
  ParsedCommandLine cmd;
  std::unique_ptr<TraceFile> trace_file;
  std::optional<int> exit_status;  // set: the program ends here, with this status
};

// `more_help`: the system's own text, printed by --help after the options.
ProgramStart BeginProgram(int argc, char** argv, System system, std::string_view more_help = {});

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

// At the hand-over the keyboard starts watching the hot keys "Run" stored, not at the key
// timer's first tick: a tap in between is not lost. `keyboard` is the platform's own, which
// has watch(vk).
template <class WatchingKeyboard>
void WatchHotKeys(const Program& program, WatchingKeyboard& keyboard) {
  for (const HotKey key : {HotKey::up, HotKey::down, HotKey::mute})
    if (const auto vk = program.hot_key_code(key)) keyboard.watch(*vk);
}

}  // namespace brisel

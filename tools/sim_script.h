// The interpreter behind brisel-sim: reads a script, drives the program on the simulated
// platform and writes the trace.
#pragma once

#include <istream>
#include <ostream>

#include "resources/scale.h"

namespace brisel::sim {

// Exit statuses of brisel-sim.
inline constexpr int kScriptDone = 0;
inline constexpr int kScriptUnparsable = 2;
inline constexpr int kScriptRuntimeError = 3;

// Snapshots are drawn at `scale`; nothing else depends on it.
int RunScript(std::istream& script, std::ostream& out, std::ostream& err, Scale scale = {});

}  // namespace brisel::sim

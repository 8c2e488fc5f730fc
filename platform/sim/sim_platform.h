// The simulated platform: a virtual clock, a scripted keyboard, an in-memory mixer, recording
// windows and a message box the simulated user answers at once, traced as brisel-sim prints it
// (each line stamped with the virtual time).
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_keyboard.h"
#include "platform/sim/sim_mixer.h"
#include "platform/sim/sim_windows.h"
#include "platform/trace.h"

namespace brisel::sim {

class SimPlatform {
 public:
  // `trace` receives every line as brisel-sim prints it; none when empty.
  explicit SimPlatform(std::function<void(const std::string&)> trace = {})
      : trace_([this] { return clock.now_ms(); }, std::move(trace)) {}
  SimPlatform(const SimPlatform&) = delete;  // its parts refer to each other
  SimPlatform& operator=(const SimPlatform&) = delete;

  SimClock clock;
  SimKeyboard keyboard;
  SimMixer mixer;
  SimWindows windows;
  SimMessageBox msgbox;

 private:
  Platform untraced_{clock, keyboard, mixer, windows, msgbox};
  TraceSink trace_;
  TracedPlatform traced_{untraced_, trace_};

 public:
  // What the program runs on: the parts above, traced.
  Platform& platform = traced_.platform;
};

}  // namespace brisel::sim

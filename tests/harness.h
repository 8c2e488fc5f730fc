// A program on the simulated platform, its trace kept in memory, for the behaviour tests.
#pragma once

#include <string>
#include <vector>

#include "app/program.h"
#include "display/splash.h"
#include "platform/sim/sim_platform.h"
#include "setup/config.h"

namespace brisel::test {

inline constexpr int kUp = 175, kDown = 174, kMute = 173;

struct Harness {
  Harness() = default;
  Harness(const Harness&) = delete;  // the platform's trace refers to this one's lines
  Harness& operator=(const Harness&) = delete;
  std::vector<std::string> trace;
  sim::SimPlatform sim{[this](const std::string& line) { trace.push_back(line); }};
  Program program{sim.platform};

  void wait(std::uint64_t ms) { sim::Advance(sim.clock, program.timers, ms); }
  // Start, let the dialog fade in, press "Run" and let it hand over to the display.
  void start_watching() {
    program.start();
    wait(300);
    click_run();
    wait(300);
  }
  // A click on "Run", as the windows report it.
  void click_run() { sim.windows.click("Config", "Command1"); }
  // A tap of a key, seen by the next key-timer tick.
  void tap(int vk) {
    sim.keyboard.tap(vk);
    wait(10);
  }
  SplashForm& splash() { return *program.loaded_splash(); }
  // Hidden, with no fade or hold running and the opacity back at its start.
  bool display_at_rest() {
    const SplashForm& s = splash();
    return !window("Splash").visible && s.Amount == "10" && s.first == "first" && !s.FadeIn.enabled() &&
           !s.FadeOut.enabled() && !s.refreshtimer.enabled();
  }
  ConfigForm& config() { return *program.loaded_config(); }
  const sim::SimWindow& window(std::string_view name) const { return *sim.windows.find(name); }
  // The trace lines written since `from`, without their time stamps.
  std::vector<std::string> lines_since(std::size_t from) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < trace.size(); ++i) out.push_back(trace[i].substr(trace[i].find(' ') + 1));
    return out;
  }
};

}  // namespace brisel::test

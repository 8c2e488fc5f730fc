#include "platform/sim/sim_clock.h"

namespace brisel::sim {

void Advance(SimClock& clock, TimerTable& timers, std::uint64_t ms) {
  const std::uint64_t target = clock.now_ms() + ms;
  for (auto due = timers.next_due(); due && *due <= target; due = timers.next_due()) {
    clock.set(*due);
    timers.run_next(*due);
  }
  clock.set(target);
}

}  // namespace brisel::sim

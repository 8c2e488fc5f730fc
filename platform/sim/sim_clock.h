// The simulated clock and message loop: virtual milliseconds that only Advance moves, running
// every tick due on the way in time order.
#pragma once

#include <cstdint>

#include "base/timers.h"
#include "platform/platform.h"

namespace brisel::sim {

class SimClock : public Clock {
 public:
  std::uint64_t now_ms() const override { return now_; }
  void set(std::uint64_t now) { now_ = now; }

 private:
  std::uint64_t now_ = 0;
};

// Advances virtual time by `ms`, running in time order every tick due until then.
void Advance(SimClock& clock, TimerTable& timers, std::uint64_t ms);

}  // namespace brisel::sim
